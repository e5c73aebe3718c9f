#include "connection/ContactExporter.h"

#include "export/JsonString.h"
#include "platform/ComError.h"
#include "text/StandardStreams.h"

#include <cstdint>

using outlook::ContactText;
using text::writeOut;

void ContactExporter::exportContacts() {
    try {
        walkContacts();
    } catch (const platform::ComError&) {
        // The walk stops where it stands; the missing trailer tells the reader.
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
    writeOut("contatti trovati: ");
    writeOut(std::int64_t{written});
    writeOut(" / ");
    writeOut(std::int64_t{itemCount});
    text::endLine();
}

bool ContactExporter::writeContactRecord(const outlook::ContactItem& contact, outlook::Attachments& attachments) {
    writeOut("{");
    if (!writePicture(contact, attachments)) return false;

    // Each name is read once, and that one reading is both tested and
    // written: Outlook's data is live, and a second reading may differ.
    const text::WideString fullName = contact.text(ContactText::FullName);
    if (fullName.length() > 0) {
        writeJsonString("\"displayname\":\"", fullName);
        writeOut(",");
    }
    writeEmailAddresses(contact);
    const text::WideString firstName = contact.text(ContactText::FirstName);
    if (firstName.length() > 0) writeJsonString(",\"firstname\":\"", firstName);
    const text::WideString lastName = contact.text(ContactText::LastName);
    if (lastName.length() > 1) writeJsonString(",\"surname\":\"", lastName);

    firstPhone = true;
    writeOut(",\"phones\":[");
    writePhones(contact);
    writeOut("]}");
    return true;
}
