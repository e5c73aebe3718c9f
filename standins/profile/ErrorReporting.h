#pragma once

#include "Profile.h"

#include <windows.h>
#include <oaidl.h>

namespace standin::profile {

// Makes a call fail as the fault says. A fault with a description leaves COM
// error information (SetErrorInfo) for the caller, one without clears any
// stale information. With "via": "excepinfo" and an EXCEPINFO to fill, the
// failure is reported the way IDispatch reports exceptions: DISP_E_EXCEPTION,
// with the fault's HRESULT in scode.
HRESULT reportFault(const Fault& fault, const IID& interfaceId, EXCEPINFO* excepInfo);

}  // namespace standin::profile
