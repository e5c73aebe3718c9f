#include "connection/ContactExporter.h"

#include "CallerContract.h"
#include "export/ContactRecord.h"
#include "platform/ComError.h"
#include "text/Diagnostics.h"
#include "text/StandardStreams.h"

#include <cstdint>
#include <new>
#include <stdexcept>

using outlook::ContactText;
using text::writeOut;

void ContactExporter::exportContacts() {
    try {
        walkContacts();
    } catch (const platform::ComError& error) {
        // The walk stops where it stands; the missing trailer tells the reader.
        diagnostics::reportFailure(error, "The export stops here.");
    } catch (const std::bad_alloc&) {
        // Out of memory while a value is converted or written (a picture too
        // large for memory, say): the walk stops as on a failed call.
        diagnostics::reportEvent("Out of memory: the export stops here.");
    } catch (const std::length_error&) {
        // A value too large for a string at all, as a picture can be for the
        // 32-bit exporter: the same as memory running out.
        diagnostics::reportEvent("A value is too large for memory: the export stops here.");
    }
}

void ContactExporter::walkContacts() {
    // An incomplete connection writes nothing; its construction said why.
    if (!nameSpace) return;
    contactsFolder = nameSpace.getDefaultFolder(outlook::olFolderContacts);
    if (!contactsFolder) {
        diagnostics::reportEvent("_NameSpace.GetDefaultFolder gave no contacts folder: nothing is exported.");
        return;
    }
    contactItems = contactsFolder.items();
    if (!contactItems) {
        diagnostics::reportEvent("MAPIFolder.Items gave no items: nothing is exported.");
        return;
    }
    emailRoad = mapiLibrary ? EmailRoad::mapi : EmailRoad::objectModel;

    outlook::ContactItem contact;
    outlook::Attachments attachments;
    bool firstRecord = true;
    std::int32_t written = 0;
    for (std::int32_t position = contactItems.count(); position > 0; --position) {
        contact = outlook::ContactItem::from(contactItems.item(position));
        if (!contact) continue;

        if (firstRecord) {
            firstRecord = false;
        } else {
            text::endLine();
        }
        if (!writeContactRecord(contact, attachments)) return;
        ++written;
    }

    const long itemCount = contactItems.count();
    text::endLine();
    writeOut(callerContract::trailer);
    writeOut(std::int64_t{written});
    writeOut(callerContract::trailerSeparator);
    writeOut(std::int64_t{itemCount});
    text::endLine();
}

// Each property is read once, and that one reading is both tested and
// written: Outlook's data is live, and a second reading may differ.
bool ContactExporter::writeContactRecord(const outlook::ContactItem& contact, outlook::Attachments& attachments) {
    ContactRecord record;
    if (!writePicture(contact, attachments, record)) return false;
    record.displayName(contact.text(ContactText::FullName));
    record.emailAddresses([&](JsonList& addresses) { writeEmailAddresses(contact, addresses); });
    record.firstName(contact.text(ContactText::FirstName));
    record.surname(contact.text(ContactText::LastName));
    record.phones([&](JsonList& phones) { writePhones(contact, phones); });
    return true;
}
