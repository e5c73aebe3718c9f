#include "connection/MapiLibrary.h"

#include "CallerContract.h"
#include "connection/OutlookInstallationProbe.h"

#include <cstring>
#include <stdexcept>

namespace connection {

namespace {

template <typename Function>
Function entryPoint(HMODULE library, const char* name) {
    const FARPROC address = GetProcAddress(library, name);
    Function function;
    static_assert(sizeof function == sizeof address);
    std::memcpy(&function, &address, sizeof function);
    return function;
}

}  // namespace

MapiLibrary loadMapiLibrary() {
    probeOutlookInstallation();

    MapiLibrary mapi;
    mapi.library.reset(LoadLibraryW(L"mapi32.dll"));
    if (!mapi.library) throw std::runtime_error(callerContract::cannotLoadMapi32);
    const HMODULE library = mapi.library.get();
    MapiEntryPoints& entries = mapi.entries;

    entries.MAPIInitialize = entryPoint<mapi::MAPIINITIALIZE>(library, "MAPIInitialize");
    entries.MAPIUninitialize = entryPoint<mapi::MAPIUNINITIALIZE>(library, "MAPIUninitialize");
    if (entries.MAPIInitialize == nullptr || entries.MAPIUninitialize == nullptr) {
        throw std::runtime_error(callerContract::cannotLoadInitializeOrUninitialize);
    }

    mapi::MAPIINIT_0 init{mapi::MAPI_INIT_VERSION, mapi::MAPI_MULTITHREAD_NOTIFICATIONS};
    if (FAILED(entries.MAPIInitialize(&init))) throw std::runtime_error(callerContract::cannotInitializeMapi);
    mapi.initialisation.reset(entries.MAPIUninitialize);

    entries.MAPIAllocateBuffer = entryPoint<mapi::MAPIALLOCATEBUFFER>(library, "MAPIAllocateBuffer");
    entries.MAPIFreeBuffer = entryPoint<mapi::MAPIFREEBUFFER>(library, "MAPIFreeBuffer");
    entries.MAPILogonEx = entryPoint<mapi::MAPILOGONEX>(library, "MAPILogonEx");
    if (entries.MAPIAllocateBuffer == nullptr || entries.MAPIFreeBuffer == nullptr || entries.MAPILogonEx == nullptr) {
        throw std::runtime_error(callerContract::cannotLoadOtherEntryPoints);
    }
    return mapi;
}

}  // namespace connection
