#include "AttachmentCollection.h"

#include "Attachment.h"
#include "Results.h"

namespace outlook {

AttachmentCollection::AttachmentCollection(SessionPtr session, size_t item)
    : DispatchObject(std::move(session), AttachmentsInterface) {
    const Contact& contact = this->session()->profile().item(item).contact;
    addMember("Count", ResultKind::Value, [&contact](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setLong(result, static_cast<LONG>(contact.attachments.size()));
        return S_OK;
    });
    addMember("Item", ResultKind::Object, [this, &contact, item](const Arguments& arguments, VARIANT& result) {
        LONG index = 0;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) {
            outcome = arguments.integer(0, index);
        }
        if (FAILED(outcome)) {
            return outcome;
        }
        if (index < 1 || static_cast<size_t>(index) > contact.attachments.size()) {
            return DISP_E_BADINDEX;
        }
        setObject(result, platform::makeComObject<Attachment>(this->session(), item, static_cast<size_t>(index) - 1));
        return S_OK;
    });
}

}  // namespace outlook
