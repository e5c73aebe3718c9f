#pragma once

#include <windows.h>

#include "OutlookInterfaces.h"

namespace outlook {

// The stand-in's own class that unmarshals a MAPIOBJECT in a client process.
// {D7BE7192-FA4C-4669-9CD6-D180EA20E830}
constexpr CLSID CLSID_MapiPropertiesProxy = {
    0xD7BE7192, 0xFA4C, 0x4669, {0x9C, 0xD6, 0xD1, 0x80, 0xEA, 0x20, 0xE8, 0x30}};

}  // namespace outlook
