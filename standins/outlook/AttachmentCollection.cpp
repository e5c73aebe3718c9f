#include "AttachmentCollection.h"

#include "Attachment.h"
#include "Results.h"

namespace standin::outlook {

AttachmentCollection::AttachmentCollection(SessionPtr session, size_t item)
    : DispatchObject(std::move(session), ::outlook::AttachmentsInterface) {
    const profile::Contact& contact = this->session()->profile().item(item).contact;
    addProperty("Count", ResultKind::Value,
                [&contact](VARIANT& result) { setLong(result, static_cast<LONG>(contact.attachments.size())); });
    addIntegerMethod("Item", ResultKind::Object, [this, &contact, item](LONG index, VARIANT& result) {
        if (index < 1 || static_cast<size_t>(index) > contact.attachments.size()) return DISP_E_BADINDEX;
        setObject(result, com::makeComObject<Attachment>(this->session(), item, static_cast<size_t>(index) - 1));
        return S_OK;
    });
}

}  // namespace standin::outlook
