#include "BaselineMapi.h"

#include "outlook/OutlookDefinitions.h"

namespace baseline {

namespace {

template <typename Function>
Function entryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace

bool loadMapi(Mapi& loaded) {
    loaded.library = LoadLibraryW(L"mapi32.dll");
    if (loaded.library == nullptr) return false;
    const auto initialize = entryPoint<mapi::MAPIINITIALIZE>(loaded.library, "MAPIInitialize");
    const auto uninitialize = entryPoint<mapi::MAPIUNINITIALIZE>(loaded.library, "MAPIUninitialize");
    mapi::MAPIINIT_0 init{mapi::MAPI_INIT_VERSION, mapi::MAPI_MULTITHREAD_NOTIFICATIONS};
    if (initialize == nullptr || uninitialize == nullptr || FAILED(initialize(&init))) return false;
    loaded.uninitialize = uninitialize;
    loaded.freeBuffer = entryPoint<mapi::MAPIFREEBUFFER>(loaded.library, "MAPIFreeBuffer");
    loaded.logon = entryPoint<mapi::MAPILOGONEX>(loaded.library, "MAPILogonEx");
    return loaded.freeBuffer != nullptr && loaded.logon != nullptr;
}

AddressNames::AddressNames(Which which) : count_(which) {
    for (ULONG at = 0; at < count_; ++at) {
        const LONG longId = at < addressesAndTypes
                                ? outlook::emailNamedProperties[at].longId
                                : outlook::emailOriginalEntryIdProperties[at - addressesAndTypes].longId;
        names_[at].lpguid = &propertySet_;
        names_[at].ulKind = mapi::MNID_ID;
        names_[at].Kind.lID = longId;
        pointers_[at] = &names_[at];
    }
}

}  // namespace baseline
