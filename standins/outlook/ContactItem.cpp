#include "ContactItem.h"

#include "AttachmentCollection.h"
#include "ContactProperties.h"
#include "MapiProperties.h"
#include "Results.h"

namespace standin::outlook {

ContactItem::ContactItem(SessionPtr session, size_t item)
    : FolderItem(std::move(session), ::outlook::ContactItemInterface, item) {
    const profile::Contact& contact = this->session()->profile().item(item).contact;
    for (std::string_view property : profile::contactTextProperties) {
        addProperty(property.data(), ResultKind::Bstr, [&contact, property](VARIANT& result) {
            const auto text = contact.texts.find(std::string(property));
            setText(result, text == contact.texts.end() ? profile::Text() : text->second);
        });
    }
    addProperty("HasPicture", ResultKind::Value, [&contact](VARIANT& result) { setBool(result, contact.hasPicture); });
    addProperty("Attachments", ResultKind::Object, [this, item](VARIANT& result) {
        setObject(result, com::makeComObject<AttachmentCollection>(this->session(), item));
    });
    addProperty("MAPIOBJECT", ResultKind::Unknown,
                [this, item](VARIANT& result) { setUnknown(result, createMapiObject(this->session(), item)); });
    addProperty("EntryID", ResultKind::Bstr,
                [this, item](VARIANT& result) { setText(result, this->session()->profile().entryIdOf(item)); });
    addProperty("LastModificationTime", ResultKind::Value,
                [&contact](VARIANT& result) { setDate(result, contact.lastModificationTime); });
    for (const auto& property : profile::storedEmailProperties) guardMember(property.member.data());
}

}  // namespace standin::outlook
