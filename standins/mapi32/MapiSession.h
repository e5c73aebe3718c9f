#pragma once

#include "LiveObjects.h"
#include "MapiPropObject.h"
#include "SessionCalls.h"
#include "com/ComObject.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>

namespace standin::mapi32 {

// The session MAPILogonEx gives: the store whose entry id is the profile's
// storeId (read only) and the address book. Every other method answers
// MAPI_E_NO_SUPPORT.
class MapiSession final : public com::ComObject<mapi::IMAPISession> {
public:
    explicit MapiSession(ProfilePtr sessionProfile) : profile(std::move(sessionProfile)) {}

    HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR uiParam, ULONG entryIdSize, void* entryId, const IID* iid,
                                           ULONG flags, IUnknown** store) override;
    HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR uiParam, const IID* iid, ULONG flags,
                                              IUnknown** addressBook) override;
    HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR uiParam, ULONG flags, ULONG reserved) override;

    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, void** mapiError) override;
    HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG, void** table) override;
    HRESULT STDMETHODCALLTYPE OpenProfileSection(void*, const IID*, ULONG, void** section) override;
    HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG, void** table) override;
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG, void*, const IID*, ULONG, ULONG* objectType, IUnknown** object) override;
    HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG, void*, ULONG, void*, ULONG, ULONG* result) override;
    HRESULT STDMETHODCALLTYPE Advise(ULONG, void*, ULONG, void*, ULONG* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override;
    HRESULT STDMETHODCALLTYPE MessageOptions(ULONG_PTR, ULONG, void*, void*) override;
    HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt(void*, ULONG, ULONG* valueCount,
                                                     mapi::SPropValue** options) override;
    HRESULT STDMETHODCALLTYPE EnumAdrTypes(ULONG, ULONG* typeCount, void*** types) override;
    HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG* entryIdSize, void** entryId) override;
    HRESULT STDMETHODCALLTYPE SetDefaultStore(ULONG, ULONG, void*) override;
    HRESULT STDMETHODCALLTYPE AdminServices(ULONG, void** serviceAdmin) override;
    HRESULT STDMETHODCALLTYPE ShowForm(ULONG_PTR, void*, void*, const IID*, ULONG, void*, ULONG, ULONG, ULONG, ULONG,
                                       LPSTR) override;
    HRESULT STDMETHODCALLTYPE PrepareForm(const IID*, void*, ULONG* messageToken) override;

private:
    ~MapiSession() override = default;

    LiveObject live;
    ProfilePtr profile;
};

}  // namespace standin::mapi32
