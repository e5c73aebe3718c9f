// mapi32.dll as the exporter sees it: initialisation, the buffer allocator
// that Extended MAPI objects return their results in, and logon to a session
// of the exporter's own (Logon.h). Which entry points a build exports is
// decided by its .def file.

#include "Journal.h"
#include "LiveObjects.h"
#include "Logon.h"
#include "MapiDelivery.h"
#include "ProfileFile.h"
#include "ProfileValues.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>

namespace standin::mapi32 {
namespace {

// Every buffer starts with a header so that freeing something this allocator
// did not hand out, or freeing twice, is refused instead of corrupting the heap.
constexpr std::uint64_t liveBufferTag = 0x4D41504942554646ULL;   // "MAPIBUFF"
constexpr std::uint64_t freedBufferTag = 0x4D41504946524545ULL;  // "MAPIFREE"

struct alignas(16) BufferHeader {
    std::uint64_t tag;
    std::uint64_t size;
};

// The result MAPIInitialize reports: the profile's "mapiInitialize" member.
// A profile that cannot be read leaves the default; the Outlook stand-in is
// the one that reports unusable profiles.
HRESULT configuredInitializeResult() {
    standin::ProfileFile profile;
    try {
        profile = standin::loadProfileFile();
    } catch (const std::exception&) {
        return S_OK;
    }
    const auto member = profile.document.find("mapiInitialize");
    if (member == profile.document.end()) return S_OK;
    try {
        return standin::hresultValue(*member, "mapiInitialize");
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

}  // namespace
}  // namespace standin::mapi32

extern "C" {

HRESULT STDAPICALLTYPE MAPIInitialize(void* /*init*/) {
    standin::journal("MAPIInitialize");
    return standin::mapi32::configuredInitializeResult();
}

void STDAPICALLTYPE MAPIUninitialize() { standin::journal("MAPIUninitialize"); }

SCODE STDAPICALLTYPE MAPIAllocateBuffer(ULONG size, void** buffer) {
    if (buffer == nullptr) return standin::mapiprops::MAPI_E_INVALID_PARAMETER;
    *buffer = nullptr;
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(standin::mapi32::BufferHeader) + size);
    if (block == nullptr) return standin::mapiprops::MAPI_E_NOT_ENOUGH_MEMORY;
    auto* header = static_cast<standin::mapi32::BufferHeader*>(block);
    header->tag = standin::mapi32::liveBufferTag;
    header->size = size;
    *buffer = header + 1;
    return S_OK;
}

ULONG STDAPICALLTYPE MAPIFreeBuffer(void* buffer) {
    standin::journal("MAPIFreeBuffer");
    if (buffer == nullptr) return S_OK;
    auto* header = static_cast<standin::mapi32::BufferHeader*>(buffer) - 1;
    if (header->tag != standin::mapi32::liveBufferTag) {
        return static_cast<ULONG>(standin::mapiprops::MAPI_E_INVALID_PARAMETER);
    }
    header->tag = standin::mapi32::freedBufferTag;
    HeapFree(GetProcessHeap(), 0, header);
    return S_OK;
}

HRESULT STDAPICALLTYPE MAPILogonEx(ULONG_PTR /*uiParam*/, LPWSTR profileName, LPWSTR /*password*/, ULONG flags,
                                   void** session) {
    return standin::mapi32::logOn(profileName, flags, session);
}

BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_DETACH) return TRUE;
    // The session's objects live in this library, so it reports those its
    // client never released, as the Outlook stand-in reports its own.
    if (standin::mapi32::loggedOn()) standin::journal("live-objects " + std::to_string(standin::LiveObject::count()));
    // reserved is null when FreeLibrary releases the library, not at process exit.
    if (reserved == nullptr) standin::journal("mapi32 unloaded");
    return TRUE;
}

}  // extern "C"

// The exporter calls these through the function-pointer types it declares.
static_assert(std::is_same_v<decltype(&MAPIInitialize), mapi::MAPIINITIALIZE>);
static_assert(std::is_same_v<decltype(&MAPIUninitialize), mapi::MAPIUNINITIALIZE>);
static_assert(std::is_same_v<decltype(&MAPIAllocateBuffer), mapi::MAPIALLOCATEBUFFER>);
static_assert(std::is_same_v<decltype(&MAPIFreeBuffer), mapi::MAPIFREEBUFFER>);
static_assert(std::is_same_v<decltype(&MAPILogonEx), mapi::MAPILOGONEX>);
