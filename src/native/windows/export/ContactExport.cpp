#include "export/ContactExport.h"

#include "CallerContract.h"
#include "connection/OutlookConnection.h"
#include "export/ContactRecord.h"
#include "export/ModificationTime.h"
#include "export/PhoneNumbers.h"
#include "platform/com/ComError.h"
#include "text/Diagnostics.h"

#include <cstdint>
#include <new>
#include <stdexcept>

namespace exporting {

using outlook::ContactText;

namespace {

// A member that Outlook's security prompt guards fails with E_ABORT when the
// prompt is denied.
constexpr char deniedPromptHint[] =
    "Outlook's security prompt was denied, and the export stops here. An administrator can let the exporter read "
    "without asking: in Outlook, File > Options > Trust Center > Trust Center Settings > Programmatic Access, or "
    "the same setting by Group Policy.";

// The contact's EntryID, which a caller keeps its copy of the contact by: an
// item without one cannot be told from another, and a guessed "id" would
// merge them, so it ends the walk as a failed call does.
const com::WideString& identityOf(CurrentContact& contact) {
    const com::WideString& entryId = contact.entryId();
    if (entryId.lengthToFirstNul() == 0) com::throwComError(E_UNEXPECTED, "_ContactItem.EntryID gave no entry id");
    return entryId;
}

}  // namespace

ContactExport::ContactExport(const outlook::NameSpace& outlookNameSpace, const std::wstring& picturePath,
                             const connection::MapiEntryPoints* mapi, const RecordOptions& recordOptions,
                             text::OutputSink& sink)
    : nameSpace(outlookNameSpace),
      options(recordOptions),
      output(sink),
      picture(picturePath, sink),
      emailAddresses(outlookNameSpace, contactsFolder, mapi, recordOptions.encoding) {}

ContactExport::ContactExport(const connection::OutlookConnection& connection, const RecordOptions& recordOptions,
                             text::OutputSink& sink)
    : ContactExport(connection.outlookNameSpace(), connection.pictureFilePath(), connection.mapiEntryPoints(),
                    recordOptions, sink) {}

void ContactExport::exportContacts() {
    try {
        walkContacts();
    } catch (const com::ComError& error) {
        diagnostics::reportFailure(error, error.result() == E_ABORT ? deniedPromptHint : "The export stops here.");
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
        CurrentContact current(contact, position);
        if (writeContactRecord(current, attachments) == WalkStep::stop) return;
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
WalkStep ContactExport::writeContactRecord(CurrentContact& current, outlook::Attachments& attachments) {
    const outlook::ContactItem& contact = current.item();
    ContactRecord record(output, options.encoding);
    if (picture.write(contact, attachments, record) == WalkStep::stop) return WalkStep::stop;
    record.displayName(contact.text(ContactText::FullName));
    record.emailAddresses([&](JsonList& addresses) { emailAddresses.write(current, addresses); });
    record.firstName(contact.text(ContactText::FirstName));
    record.surname(contact.text(ContactText::LastName));
    record.phones([&](JsonList& phones) { writePhones(contact, phones); });
    if (options.withId) record.id(identityOf(current));
    if (options.withModified) record.modified(utcTimestamp(contact.lastModificationTime()));
    record.end();
    return WalkStep::goOn;
}

}  // namespace exporting
