#include "ContactItem.h"

#include "AttachmentCollection.h"
#include "ContactProperties.h"
#include "MapiProperties.h"
#include "Results.h"

namespace outlook {

ContactItem::ContactItem(SessionPtr session, size_t item) : FolderItem(std::move(session), ContactItemInterface) {
    const Contact& contact = this->session()->profile().item(item).contact;
    for (std::string_view property : contactTextProperties) {
        addMember(property.data(), ResultKind::Bstr, [&contact, property](const Arguments& arguments, VARIANT& result) {
            if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
                return count;
            }
            const auto text = contact.texts.find(std::string(property));
            setText(result, text == contact.texts.end() ? Text() : text->second);
            return S_OK;
        });
    }
    addMember("HasPicture", ResultKind::Value, [&contact](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setBool(result, contact.hasPicture);
        return S_OK;
    });
    addMember("Attachments", ResultKind::Object, [this, item](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setObject(result, platform::makeComObject<AttachmentCollection>(this->session(), item));
        return S_OK;
    });
    addMember("MAPIOBJECT", ResultKind::Unknown, [this, item](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setUnknown(result, createMapiProperties(this->session(), item));
        return S_OK;
    });
}

}  // namespace outlook
