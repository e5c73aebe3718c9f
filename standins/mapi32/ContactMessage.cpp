#include "ContactMessage.h"

namespace standin::mapi32 {

using mapiprops::clearOut;
using mapiprops::MAPI_E_NO_SUPPORT;

mapiprops::TagsAnswer ContactMessage::tagsFor(ULONG nameCount, mapi::MAPINAMEID** names) {
    return mapiprops::answerGetIDsFromNames(sessionCall(*profile, "IMessage.GetIDsFromNames"), mapi::IID_IMessage,
                                            nameCount, names);
}

mapiprops::ValuesAnswer ContactMessage::valuesFor(const mapi::SPropTagArray* propTags) {
    return mapiprops::answerGetProps(sessionCall(*profile, "IMessage.GetProps"), mapi::IID_IMessage,
                                     profile->item(position).contact, propTags);
}

HRESULT STDMETHODCALLTYPE ContactMessage::GetAttachmentTable(ULONG, void** table) {
    clearOut(table);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMessage::OpenAttach(ULONG, const IID*, ULONG, void** attachment) {
    clearOut(attachment);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMessage::CreateAttach(const IID*, ULONG, ULONG* attachmentNumber, void** attachment) {
    if (attachmentNumber != nullptr) *attachmentNumber = 0;
    clearOut(attachment);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMessage::DeleteAttach(ULONG, ULONG_PTR, void*, ULONG) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE ContactMessage::GetRecipientTable(ULONG, void** table) {
    clearOut(table);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMessage::ModifyRecipients(ULONG, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE ContactMessage::SubmitMessage(ULONG) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE ContactMessage::SetReadFlag(ULONG) { return MAPI_E_NO_SUPPORT; }

}  // namespace standin::mapi32
