#include "export/ContactExport.h"

#include "CallerContract.h"
#include "connection/ContactExporter.h"
#include "export/ContactRecord.h"
#include "export/PhoneNumbers.h"
#include "platform/com/ComError.h"
#include "text/Diagnostics.h"

#include <cstdint>
#include <new>
#include <stdexcept>

using outlook::ContactText;

ContactExport::ContactExport(const outlook::NameSpace& outlookNameSpace, const std::wstring& picturePath,
                             mapi::MAPIFREEBUFFER mapiFreeBuffer, text::OutputSink& sink)
    : nameSpace(outlookNameSpace),
      output(sink),
      picture(picturePath, sink),
      emailAddresses(outlookNameSpace, mapiFreeBuffer) {}

ContactExport::ContactExport(const ContactExporter& connection, text::OutputSink& sink)
    : ContactExport(connection.outlookNameSpace(), connection.pictureFilePath(), connection.mapiFreeBuffer(), sink) {}

void ContactExport::exportContacts() {
    try {
        walkContacts();
    } catch (const com::ComError& error) {
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

void ContactExport::walkContacts() {
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

    // From the last item to the first, as callers of this exporter have
    // always had the records; the walk keeps one contact and one attachment
    // collection at a time.
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
            output.endLine();
        }
        if (writeContactRecord(contact, attachments) == WalkStep::stop) return;
        ++written;
    }

    // The folder's count is read again for the trailer: items can come and
    // go while a large folder is walked, and M says how many it holds now.
    const long itemCount = contactItems.count();
    output.endLine();
    output.write(callerContract::trailer);
    output.writeNumber(written);
    output.write(callerContract::trailerSeparator);
    output.writeNumber(itemCount);
    output.endLine();
}

// Each property is read once, and that one reading is both tested and
// written: Outlook's data is live, and a second reading may differ.
WalkStep ContactExport::writeContactRecord(const outlook::ContactItem& contact, outlook::Attachments& attachments) {
    ContactRecord record(output);
    if (picture.write(contact, attachments, record) == WalkStep::stop) return WalkStep::stop;
    record.displayName(contact.text(ContactText::FullName));
    record.emailAddresses([&](JsonList& addresses) { emailAddresses.write(contact, addresses); });
    record.firstName(contact.text(ContactText::FirstName));
    record.surname(contact.text(ContactText::LastName));
    record.phones([&](JsonList& phones) { writePhones(contact, phones); });
    return WalkStep::goOn;
}
