#pragma once

// What the stand-ins need of MAPI's property tags beyond the exporter's own
// declarations: the types of a name's tag and of a missing property, the
// warning of a call that answered some of its requests with errors, and the
// making and taking apart of tags.

#include "mapi/MapiDefinitions.h"

namespace mapi {

constexpr ULONG PT_UNSPECIFIED = 0x0000;
constexpr ULONG PT_ERROR = 0x000A;

constexpr HRESULT MAPI_W_ERRORS_RETURNED = static_cast<HRESULT>(0x00040380L);

constexpr ULONG propId(ULONG propTag) { return propTag >> 16; }
constexpr ULONG propTag(ULONG type, ULONG id) { return (id << 16) | type; }

}  // namespace mapi
