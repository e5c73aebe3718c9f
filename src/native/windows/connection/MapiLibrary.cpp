#include "connection/MapiLibrary.h"

#include "connection/OutlookInstallationProbe.h"

#include <cstring>
#include <stdexcept>
#include <utility>

MapiEntryPoints mapiEntryPoints;

namespace {

template <typename Function>
Function entryPoint(HMODULE library, const char* name) {
    const FARPROC address = GetProcAddress(library, name);
    Function function;
    static_assert(sizeof function == sizeof address);
    std::memcpy(&function, &address, sizeof function);
    return function;
}

// Frees the library on the way out unless it is handed over.
class LoadedLibrary {
public:
    explicit LoadedLibrary(HMODULE library) noexcept : handle(library) {}
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary() {
        if (handle != nullptr) FreeLibrary(handle);
    }
    HMODULE get() const noexcept { return handle; }
    HMODULE release() noexcept { return std::exchange(handle, nullptr); }

private:
    HMODULE handle;
};

// Uninitialises MAPI on the way out unless the initialisation is handed over.
class MapiInitialisation {
public:
    MapiInitialisation() noexcept = default;
    MapiInitialisation(const MapiInitialisation&) = delete;
    MapiInitialisation& operator=(const MapiInitialisation&) = delete;
    ~MapiInitialisation() {
        if (active) mapiEntryPoints.MAPIUninitialize();
    }
    void release() noexcept { active = false; }

private:
    bool active = true;
};

}  // namespace

HMODULE loadMapiLibrary() {
    probeOutlookInstallation();

    LoadedLibrary library(LoadLibraryW(L"mapi32.dll"));
    if (library.get() == nullptr) throw std::runtime_error("Cannot load mapi32.dll");

    mapiEntryPoints.MAPIInitialize = entryPoint<mapi::MAPIINITIALIZE>(library.get(), "MAPIInitialize");
    mapiEntryPoints.MAPIUninitialize = entryPoint<mapi::MAPIUNINITIALIZE>(library.get(), "MAPIUninitialize");
    if (mapiEntryPoints.MAPIInitialize == nullptr || mapiEntryPoints.MAPIUninitialize == nullptr) {
        throw std::runtime_error("Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll");
    }

    mapi::MAPIINIT_0 init{mapi::MAPI_INIT_VERSION, mapi::MAPI_MULTITHREAD_NOTIFICATIONS};
    if (FAILED(mapiEntryPoints.MAPIInitialize(&init))) throw std::runtime_error("Cannot initialize mapi");
    MapiInitialisation initialisation;

    mapiEntryPoints.MAPIAllocateBuffer = entryPoint<mapi::MAPIALLOCATEBUFFER>(library.get(), "MAPIAllocateBuffer");
    mapiEntryPoints.MAPIFreeBuffer = entryPoint<mapi::MAPIFREEBUFFER>(library.get(), "MAPIFreeBuffer");
    mapiEntryPoints.MAPILogonEx = entryPoint<mapi::MAPILOGONEX>(library.get(), "MAPILogonEx");
    if (mapiEntryPoints.MAPIAllocateBuffer == nullptr || mapiEntryPoints.MAPIFreeBuffer == nullptr ||
        mapiEntryPoints.MAPILogonEx == nullptr) {
        throw std::runtime_error("Cannot load MAPIAllocateBuffer or MAPIFreeBuffer or MAPILogonEx from mapi32.dll");
    }

    initialisation.release();
    return library.release();
}
