#include "MessageStore.h"

#include "ContactMessage.h"
#include "MapiDelivery.h"
#include "MapiErrors.h"

namespace standin::mapi32 {

using mapiprops::clearOut;
using mapiprops::MAPI_E_NO_SUPPORT;

HRESULT STDMETHODCALLTYPE MessageStore::OpenEntry(ULONG entryIdSize, void* entryId, const IID* iid, ULONG flags,
                                                  ULONG* objectType, IUnknown** object) {
    const profile::Fault* fault = sessionCall(*profile, "IMsgStore.OpenEntry");
    if (objectType == nullptr || object == nullptr) return mapiprops::MAPI_E_INVALID_PARAMETER;
    *objectType = 0;
    *object = nullptr;
    if (fault != nullptr) return faultedObjectCall(*fault, mapi::IID_IMsgStore);
    if (iid != nullptr && !IsEqualIID(*iid, mapi::IID_IMessage)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    // Nothing opens for writing in a store opened to read.
    if ((flags & mapi::MAPI_MODIFY) != 0 || entryId == nullptr) return mapi::MAPI_E_NOT_FOUND;
    const auto* bytes = static_cast<const unsigned char*>(entryId);
    const auto position = profile->contactWithEntryId(profile::Bytes(bytes, bytes + entryIdSize));
    if (!position) return mapi::MAPI_E_NOT_FOUND;
    return mapiprops::resultOfAnswering([&] {
        *object = static_cast<mapi::IMessage*>(com::makeComObject<ContactMessage>(profile, *position).detach());
        *objectType = mapi::MAPI_MESSAGE;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE MessageStore::Advise(ULONG, void*, ULONG, void*, ULONG* connection) {
    if (connection != nullptr) *connection = 0;
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MessageStore::Unadvise(ULONG) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MessageStore::CompareEntryIDs(ULONG, void*, ULONG, void*, ULONG, ULONG* result) {
    if (result != nullptr) *result = 0;
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MessageStore::SetReceiveFolder(void*, ULONG, ULONG, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MessageStore::GetReceiveFolder(void*, ULONG, ULONG* entryIdSize, void** entryId,
                                                         void** explicitClass) {
    if (entryIdSize != nullptr) *entryIdSize = 0;
    clearOut(entryId);
    clearOut(explicitClass);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MessageStore::GetReceiveFolderTable(ULONG, void** table) {
    clearOut(table);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MessageStore::StoreLogoff(ULONG*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MessageStore::AbortSubmit(ULONG, void*, ULONG) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MessageStore::GetOutgoingQueue(ULONG, void** table) {
    clearOut(table);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MessageStore::SetLockState(void*, ULONG) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MessageStore::FinishedMsg(ULONG, ULONG, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MessageStore::NotifyNewMail(void*) { return MAPI_E_NO_SUPPORT; }

}  // namespace standin::mapi32
