#include "connection/ContactExporter.h"

#include "CallerContract.h"
#include "export/ContactRecord.h"
#include "platform/ComError.h"
#include "text/StandardStreams.h"

#include <cstdint>
#include <new>

using outlook::ContactText;
using text::writeOut;

void ContactExporter::exportContacts() {
    try {
        walkContacts();
    } catch (const platform::ComError&) {
        // The walk stops where it stands; the missing trailer tells the reader.
    } catch (const std::bad_alloc&) {
        // Out of memory while a value is converted or written: the walk stops
        // as it does when a conversion reports E_OUTOFMEMORY.
    }
}

void ContactExporter::walkContacts() {
    contactsFolder = nameSpace.getDefaultFolder(outlook::olFolderContacts);
    if (!contactsFolder) return;
    contactItems = contactsFolder.items();
    if (!contactItems) return;

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
