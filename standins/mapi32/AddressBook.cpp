#include "AddressBook.h"

#include "ExchangeEntryIds.h"
#include "MailUser.h"
#include "MapiDelivery.h"
#include "MapiErrors.h"

#include <algorithm>

namespace standin::mapi32 {

using mapiprops::clearOut;
using mapiprops::MAPI_E_NO_SUPPORT;

namespace {

// The entry-id out-parameters of the methods that give one.
HRESULT noEntryId(ULONG* entryIdSize, void** entryId) {
    if (entryIdSize != nullptr) *entryIdSize = 0;
    clearOut(entryId);
    return MAPI_E_NO_SUPPORT;
}

}  // namespace

HRESULT STDMETHODCALLTYPE AddressBook::OpenEntry(ULONG entryIdSize, void* entryId, const IID* iid, ULONG,
                                                 ULONG* objectType, IUnknown** object) {
    const profile::Fault* fault = sessionCall(*profile, "IAddrBook.OpenEntry");
    if (objectType == nullptr || object == nullptr) return mapiprops::MAPI_E_INVALID_PARAMETER;
    *objectType = 0;
    *object = nullptr;
    if (fault != nullptr) return faultedObjectCall(*fault, mapi::IID_IAddrBook);
    if (iid != nullptr && !IsEqualIID(*iid, mapi::IID_IMailUser)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    const auto address =
        mapiprops::addressOfExchangeEntryId(static_cast<const unsigned char*>(entryId), entryId ? entryIdSize : 0);
    if (!address) return mapi::MAPI_E_UNKNOWN_ENTRYID;
    const auto& book = profile->addressBook;
    const auto entry =
        std::find_if(book.begin(), book.end(), [&](const auto& known) { return known.address == *address; });
    if (entry == book.end() || !entry->resolves) return mapi::MAPI_E_NOT_FOUND;
    return mapiprops::resultOfAnswering([&] {
        *object = static_cast<mapi::IMailUser*>(com::makeComObject<MailUser>(profile, *entry).detach());
        *objectType = mapi::MAPI_MAILUSER;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE AddressBook::CompareEntryIDs(ULONG, void*, ULONG, void*, ULONG, ULONG* result) {
    if (result != nullptr) *result = 0;
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE AddressBook::Advise(ULONG, void*, ULONG, void*, ULONG* connection) {
    if (connection != nullptr) *connection = 0;
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE AddressBook::Unadvise(ULONG) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE AddressBook::CreateOneOff(void*, void*, void*, ULONG, ULONG* entryIdSize, void** entryId) {
    return noEntryId(entryIdSize, entryId);
}

HRESULT STDMETHODCALLTYPE AddressBook::NewEntry(ULONG_PTR, ULONG, ULONG, void*, ULONG, void*, ULONG* newEntrySize,
                                                void** newEntry) {
    return noEntryId(newEntrySize, newEntry);
}

HRESULT STDMETHODCALLTYPE AddressBook::ResolveName(ULONG_PTR, ULONG, void*, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE AddressBook::Address(ULONG_PTR*, void*, void** addressList) {
    clearOut(addressList);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE AddressBook::Details(ULONG_PTR*, void*, void*, ULONG, void*, void*, void*, void*, ULONG) {
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE AddressBook::RecipOptions(ULONG_PTR, ULONG, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE AddressBook::QueryDefaultRecipOpt(void*, ULONG, ULONG* valueCount,
                                                            mapi::SPropValue** options) {
    if (valueCount != nullptr) *valueCount = 0;
    clearOut(options);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE AddressBook::GetPAB(ULONG* entryIdSize, void** entryId) {
    return noEntryId(entryIdSize, entryId);
}

HRESULT STDMETHODCALLTYPE AddressBook::SetPAB(ULONG, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE AddressBook::GetDefaultDir(ULONG* entryIdSize, void** entryId) {
    return noEntryId(entryIdSize, entryId);
}

HRESULT STDMETHODCALLTYPE AddressBook::SetDefaultDir(ULONG, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE AddressBook::GetSearchPath(ULONG, void** searchPath) {
    clearOut(searchPath);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE AddressBook::SetSearchPath(ULONG, void*) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE AddressBook::PrepareRecips(ULONG, mapi::SPropTagArray*, void*) { return MAPI_E_NO_SUPPORT; }

}  // namespace standin::mapi32
