#pragma once

#include "platform/com/UniqueHandle.h"
#include "platform/mapi/MapiDefinitions.h"

#include <windows.h>

namespace connection {

// The MAPI entry points that the loader fetches from mapi32.dll.
struct MapiEntryPoints {
    mapi::MAPIINITIALIZE MAPIInitialize = nullptr;
    mapi::MAPIUNINITIALIZE MAPIUninitialize = nullptr;
    mapi::MAPIALLOCATEBUFFER MAPIAllocateBuffer = nullptr;
    mapi::MAPIFREEBUFFER MAPIFreeBuffer = nullptr;
    mapi::MAPILOGONEX MAPILogonEx = nullptr;
};

// MAPI's initialisation, held as the entry point that ends it.
struct EndMapi {
    void operator()(mapi::MAPIUNINITIALIZE uninitialize) const noexcept { uninitialize(); }
};
using MapiInitialisation = com::UniqueHandle<mapi::MAPIUNINITIALIZE, EndMapi>;

// mapi32.dll loaded, its entry points fetched, and MAPI initialised. The
// members are released in reverse order: destroying it ends MAPI, then
// releases the library, and the entry points go with it.
class MapiLibrary {
public:
    const MapiEntryPoints& entryPoints() const noexcept { return entries; }

private:
    friend MapiLibrary loadMapiLibrary();
    MapiLibrary() noexcept = default;

    com::UniqueModule library;
    MapiEntryPoints entries;
    MapiInitialisation initialisation;
};

// Makes sure Outlook is installed, loads mapi32.dll, fetches its entry
// points and initialises MAPI. Raises std::runtime_error with the report of
// the step that failed, after undoing what the earlier steps did.
MapiLibrary loadMapiLibrary();

}  // namespace connection
