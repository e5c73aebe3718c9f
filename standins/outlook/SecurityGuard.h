#pragma once

#include "Profile.h"

#include <windows.h>

namespace standin::outlook {

// Outlook's security prompt before a guarded member runs, as the profile's
// "guard" plays it: S_OK when trusted (no prompt); otherwise the journal
// gets "guard prompt", and a denied prompt fails the call with E_ABORT. A
// prompt nobody answers never returns: in process the call blocks for
// good; the local server blocks until its client has ended, then ends
// itself, so that a client ended for hanging leaves no server behind.
HRESULT passSecurityGuard(profile::Guard guard);

}  // namespace standin::outlook
