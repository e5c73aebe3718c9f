#pragma once

#include "LiveObjects.h"
#include "MapiPropObject.h"
#include "SessionCalls.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>

namespace standin::mapi32 {

// The session's address book: OpenEntry opens, by an Exchange original
// entry id, the profile's addressBook entry of the address inside it, as an
// IMailUser. Every other method answers MAPI_E_NO_SUPPORT.
class AddressBook final : public mapiprops::MapiPropObject<mapi::IAddrBook> {
public:
    explicit AddressBook(ProfilePtr sessionProfile) : profile(std::move(sessionProfile)) {}

    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG entryIdSize, void* entryId, const IID* iid, ULONG flags,
                                        ULONG* objectType, IUnknown** object) override;

    HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG, void*, ULONG, void*, ULONG, ULONG* result) override;
    HRESULT STDMETHODCALLTYPE Advise(ULONG, void*, ULONG, void*, ULONG* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override;
    HRESULT STDMETHODCALLTYPE CreateOneOff(void*, void*, void*, ULONG, ULONG* entryIdSize, void** entryId) override;
    HRESULT STDMETHODCALLTYPE NewEntry(ULONG_PTR, ULONG, ULONG, void*, ULONG, void*, ULONG* newEntrySize,
                                       void** newEntry) override;
    HRESULT STDMETHODCALLTYPE ResolveName(ULONG_PTR, ULONG, void*, void*) override;
    HRESULT STDMETHODCALLTYPE Address(ULONG_PTR*, void*, void** addressList) override;
    HRESULT STDMETHODCALLTYPE Details(ULONG_PTR*, void*, void*, ULONG, void*, void*, void*, void*, ULONG) override;
    HRESULT STDMETHODCALLTYPE RecipOptions(ULONG_PTR, ULONG, void*) override;
    HRESULT STDMETHODCALLTYPE QueryDefaultRecipOpt(void*, ULONG, ULONG* valueCount,
                                                   mapi::SPropValue** options) override;
    HRESULT STDMETHODCALLTYPE GetPAB(ULONG* entryIdSize, void** entryId) override;
    HRESULT STDMETHODCALLTYPE SetPAB(ULONG, void*) override;
    HRESULT STDMETHODCALLTYPE GetDefaultDir(ULONG* entryIdSize, void** entryId) override;
    HRESULT STDMETHODCALLTYPE SetDefaultDir(ULONG, void*) override;
    HRESULT STDMETHODCALLTYPE GetSearchPath(ULONG, void** searchPath) override;
    HRESULT STDMETHODCALLTYPE SetSearchPath(ULONG, void*) override;
    HRESULT STDMETHODCALLTYPE PrepareRecips(ULONG, mapi::SPropTagArray*, void*) override;

private:
    ~AddressBook() override = default;

    LiveObject live;
    ProfilePtr profile;
};

}  // namespace standin::mapi32
