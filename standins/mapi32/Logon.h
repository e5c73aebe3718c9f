#pragma once

#include <windows.h>

namespace standin::mapi32 {

// MAPILogonEx: a session over the profile named by OUTLOOK_STANDIN_PROFILE,
// for a program that asks for no user interface and keeps its session to
// itself, on the profile's own name (or MAPI_USE_DEFAULT).
HRESULT logOn(LPWSTR profileName, ULONG flags, void** session);

// Whether this process has called MAPILogonEx, which makes the library
// report its objects as it is unloaded.
bool loggedOn();

}  // namespace standin::mapi32
