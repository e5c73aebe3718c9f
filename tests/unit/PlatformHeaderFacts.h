#pragma once

// What MinGW-w64's own MAPI headers (mapidefs.h, mapiguid.h, mapicode.h,
// mapix.h) say of the declarations the exporter carries itself. Read in a
// translation unit of its own: those headers define their names as macros,
// which would rewrite the exporter's declarations of the same names.

#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <map>
#include <string>

namespace platformHeaders {

struct MapiFacts {
    std::size_t propValueSize;
    std::size_t propValueTagOffset;
    std::size_t propValueValueOffset;
    std::size_t propValueUnionSize;
    std::size_t nameIdSize;
    std::size_t nameIdKindOffset;
    std::size_t nameIdKindSize;
    std::size_t propTagArrayTagsOffset;
    std::size_t initSize;
    ULONG initVersion;
    ULONG multithreadNotifications;
    ULONG nameKindId;
    ULONG typeString8;
    ULONG typeUnicode;
    ULONG typeError;
    HRESULT notFound;
    IID mapiPropIid;
};

MapiFacts mapiFacts();

// The flags, codes and tags of a MAPI session that the headers define, by
// their names; and the session's interfaces' IIDs.
std::map<std::string, unsigned long> mapiSessionConstants();
std::map<std::string, IID> mapiSessionIids();

// An object of the headers' IMAPIProp whose methods each answer a result of
// their own: methodResult(n) for the n-th method after IUnknown's.
IUnknown* newNumberedMapiProp();
constexpr HRESULT methodResult(int method) { return static_cast<HRESULT>(0x20770000L + method); }

}  // namespace platformHeaders
