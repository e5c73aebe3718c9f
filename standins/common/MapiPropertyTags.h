#pragma once

// What the stand-ins need of MAPI's property tags beyond the exporter's own
// declarations: the type of a name's tag.

#include "mapi/MapiDefinitions.h"

namespace standin {

constexpr ULONG PT_UNSPECIFIED = 0x0000;

}  // namespace standin
