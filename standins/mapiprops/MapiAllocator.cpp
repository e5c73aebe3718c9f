#include "MapiAllocator.h"

#include "mapi/MapiDefinitions.h"

namespace standin::mapiprops {

void* allocateMapiBuffer(size_t size) {
    HMODULE mapi = GetModuleHandleW(L"mapi32.dll");
    if (mapi == nullptr || size > 0xFFFFFFFFu) return nullptr;
    auto allocate = reinterpret_cast<mapi::MAPIALLOCATEBUFFER>(
        reinterpret_cast<void (*)()>(GetProcAddress(mapi, "MAPIAllocateBuffer")));
    void* buffer = nullptr;
    if (allocate == nullptr || allocate(static_cast<ULONG>(size), &buffer) != S_OK) return nullptr;
    return buffer;
}

}  // namespace standin::mapiprops
