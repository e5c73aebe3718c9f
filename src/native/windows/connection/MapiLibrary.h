#pragma once

#include "platform/MapiDefinitions.h"

#include <windows.h>

// The MAPI entry points the loader fetched, for the life of the process.
struct MapiEntryPoints {
    mapi::MAPIINITIALIZE MAPIInitialize = nullptr;
    mapi::MAPIUNINITIALIZE MAPIUninitialize = nullptr;
    mapi::MAPIALLOCATEBUFFER MAPIAllocateBuffer = nullptr;
    mapi::MAPIFREEBUFFER MAPIFreeBuffer = nullptr;
    mapi::MAPILOGONEX MAPILogonEx = nullptr;
};

extern MapiEntryPoints mapiEntryPoints;

// Makes sure Outlook is installed, loads mapi32.dll, fetches its entry
// points and initialises MAPI. Returns the library's handle; MAPI stays
// initialised until the caller uninitialises it and frees the library.
// Raises std::runtime_error with the report of the step that failed, after
// undoing what the earlier steps did.
HMODULE loadMapiLibrary();
