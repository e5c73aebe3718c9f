#pragma once

#include "LiveObjects.h"
#include "MapiPropObject.h"
#include "SessionCalls.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>

namespace standin::mapi32 {

// The store of the profile's contacts folder, opened to read: OpenEntry
// opens a contact by the bytes of its EntryID, as an IMessage. Every other
// method answers MAPI_E_NO_SUPPORT.
class MessageStore final : public mapiprops::MapiPropObject<mapi::IMsgStore> {
public:
    explicit MessageStore(ProfilePtr sessionProfile) : profile(std::move(sessionProfile)) {}

    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG entryIdSize, void* entryId, const IID* iid, ULONG flags,
                                        ULONG* objectType, IUnknown** object) override;

    HRESULT STDMETHODCALLTYPE Advise(ULONG, void*, ULONG, void*, ULONG* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override;
    HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG, void*, ULONG, void*, ULONG, ULONG* result) override;
    HRESULT STDMETHODCALLTYPE SetReceiveFolder(void*, ULONG, ULONG, void*) override;
    HRESULT STDMETHODCALLTYPE GetReceiveFolder(void*, ULONG, ULONG* entryIdSize, void** entryId,
                                               void** explicitClass) override;
    HRESULT STDMETHODCALLTYPE GetReceiveFolderTable(ULONG, void** table) override;
    HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG*) override;
    HRESULT STDMETHODCALLTYPE AbortSubmit(ULONG, void*, ULONG) override;
    HRESULT STDMETHODCALLTYPE GetOutgoingQueue(ULONG, void** table) override;
    HRESULT STDMETHODCALLTYPE SetLockState(void*, ULONG) override;
    HRESULT STDMETHODCALLTYPE FinishedMsg(ULONG, ULONG, void*) override;
    HRESULT STDMETHODCALLTYPE NotifyNewMail(void*) override;

private:
    ~MessageStore() override = default;

    LiveObject live;
    ProfilePtr profile;
};

}  // namespace standin::mapi32
