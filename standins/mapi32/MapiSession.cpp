#include "MapiSession.h"

#include "AddressBook.h"
#include "EntryIds.h"
#include "MapiDelivery.h"
#include "MapiErrors.h"
#include "MessageStore.h"

#include <algorithm>

namespace standin::mapi32 {

using mapiprops::clearOut;
using mapiprops::MAPI_E_NO_SUPPORT;

namespace {

bool isStore(const profile::Profile& profile, ULONG entryIdSize, const void* entryId) {
    const auto storeId = profile::bytesOfHexText(profile.storeId);
    const auto* bytes = static_cast<const unsigned char*>(entryId);
    return entryId != nullptr && storeId && storeId->size() == entryIdSize &&
           std::equal(storeId->begin(), storeId->end(), bytes);
}

}  // namespace

HRESULT STDMETHODCALLTYPE MapiSession::OpenMsgStore(ULONG_PTR, ULONG entryIdSize, void* entryId, const IID* iid,
                                                    ULONG flags, IUnknown** store) {
    const profile::Fault* fault = sessionCall(*profile, "IMAPISession.OpenMsgStore");
    if (store == nullptr) return mapiprops::MAPI_E_INVALID_PARAMETER;
    *store = nullptr;
    if (fault != nullptr) return faultedObjectCall(*fault, mapi::IID_IMAPISession);
    if (iid != nullptr && !IsEqualIID(*iid, mapi::IID_IMsgStore)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (!isStore(*profile, entryIdSize, entryId)) return mapi::MAPI_E_UNKNOWN_ENTRYID;
    // The exporter only reads.
    if ((flags & mapi::MDB_WRITE) != 0) return MAPI_E_NO_ACCESS;
    return mapiprops::resultOfAnswering([&] {
        *store = static_cast<mapi::IMsgStore*>(com::makeComObject<MessageStore>(profile).detach());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE MapiSession::OpenAddressBook(ULONG_PTR, const IID* iid, ULONG, IUnknown** addressBook) {
    const profile::Fault* fault = sessionCall(*profile, "IMAPISession.OpenAddressBook");
    if (addressBook == nullptr) return mapiprops::MAPI_E_INVALID_PARAMETER;
    *addressBook = nullptr;
    if (fault != nullptr) return faultedObjectCall(*fault, mapi::IID_IMAPISession);
    if (iid != nullptr && !IsEqualIID(*iid, mapi::IID_IAddrBook)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    return mapiprops::resultOfAnswering([&] {
        *addressBook = static_cast<mapi::IAddrBook*>(com::makeComObject<AddressBook>(profile).detach());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE MapiSession::Logoff(ULONG_PTR, ULONG, ULONG) {
    const profile::Fault* fault = sessionCall(*profile, "IMAPISession.Logoff");
    return fault != nullptr ? faultedObjectCall(*fault, mapi::IID_IMAPISession) : S_OK;
}

HRESULT STDMETHODCALLTYPE MapiSession::GetLastError(HRESULT, ULONG, void** mapiError) {
    clearOut(mapiError);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::GetMsgStoresTable(ULONG, void** table) {
    clearOut(table);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::OpenProfileSection(void*, const IID*, ULONG, void** section) {
    clearOut(section);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::GetStatusTable(ULONG, void** table) {
    clearOut(table);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::OpenEntry(ULONG, void*, const IID*, ULONG, ULONG* objectType,
                                                 IUnknown** object) {
    if (objectType != nullptr) *objectType = 0;
    clearOut(object);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::CompareEntryIDs(ULONG, void*, ULONG, void*, ULONG, ULONG* result) {
    if (result != nullptr) *result = 0;
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::Advise(ULONG, void*, ULONG, void*, ULONG* connection) {
    if (connection != nullptr) *connection = 0;
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::Unadvise(ULONG) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MapiSession::MessageOptions(ULONG_PTR, ULONG, void*, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MapiSession::QueryDefaultMessageOpt(void*, ULONG, ULONG* valueCount,
                                                              mapi::SPropValue** options) {
    if (valueCount != nullptr) *valueCount = 0;
    clearOut(options);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::EnumAdrTypes(ULONG, ULONG* typeCount, void*** types) {
    if (typeCount != nullptr) *typeCount = 0;
    clearOut(types);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::QueryIdentity(ULONG* entryIdSize, void** entryId) {
    if (entryIdSize != nullptr) *entryIdSize = 0;
    clearOut(entryId);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::SetDefaultStore(ULONG, ULONG, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE MapiSession::AdminServices(ULONG, void** serviceAdmin) {
    clearOut(serviceAdmin);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::ShowForm(ULONG_PTR, void*, void*, const IID*, ULONG, void*, ULONG, ULONG, ULONG,
                                                ULONG, LPSTR) {
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE MapiSession::PrepareForm(const IID*, void*, ULONG* messageToken) {
    if (messageToken != nullptr) *messageToken = 0;
    return MAPI_E_NO_SUPPORT;
}

}  // namespace standin::mapi32
