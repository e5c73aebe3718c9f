#pragma once

#include <windows.h>

#include <string>

namespace com {

// The symbolic name of an HRESULT that the exporter may meet on its way to
// Outlook and MAPI ("E_FAIL", "RPC_E_DISCONNECTED"), or null for any other.
const char* hresultName(HRESULT result) noexcept;

// "0x80004005": eight upper-case hexadecimal digits.
std::string hresultHex(HRESULT result);

}  // namespace com
