#pragma once

#include "BusyWindow.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace standin::outlook {

// Whether a call to the stand-in's objects runs at all: the profile's busy
// windows, and the moment Outlook goes away. Both are process-wide, as the
// call counts are: operations are counted from the start of the process,
// and the first profile read sets them.
namespace admission {

void configure(const std::vector<profile::BusyWindow>& windows, std::optional<long long> goneAfter);

// One more operation has run (the operation lines of the journal).
void countOperation();

// In process, for a call to an object's own interface (IDispatch,
// IMAPIProp, IClassFactory): S_OK to run it, or the result it fails with
// before it runs. Once Outlook has gone away, RPC_E_DISCONNECTED (journal:
// "server gone" the first time, then "disconnected"); in a busy window,
// RPC_E_CALL_REJECTED (journal: "rejected"). In the local server, a call
// made after Outlook has gone away ends the process instead.
HRESULT objectCall();

// The part of objectCall that concerns Outlook's going away alone.
HRESULT goneAwayCall();

// In process, for the query for _ContactItem or IMAPIProp, which a busy
// Outlook turns away too: S_OK or RPC_E_CALL_REJECTED. An IUnknown call is
// not refused when Outlook has gone away.
HRESULT objectQuery();

// In the local server's message filter: whether the incoming call is turned
// away. Once Outlook has gone away, any call ends the process at once,
// releasing nothing (journal: "server gone").
bool messageFilterTurnsAway(bool callsObjectMember);

}  // namespace admission

}  // namespace standin::outlook
