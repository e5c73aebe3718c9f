#pragma once

#include "com/BusyMessageFilter.h"

namespace standin::outlook {

// Registers the local server's message filter on this thread's apartment,
// for as long as the registration lives; no registration when COM refuses
// it. Inside a busy window the filter answers SERVERCALL_REJECTED for a call
// to one of the stand-in's objects (an IDispatch or Outlook interface method
// beyond IUnknown's), as a busy Outlook's does, and COM fails the caller's
// call with RPC_E_CALL_REJECTED. Once Outlook has gone away, the first call
// to arrive ends the process.
com::MessageFilterRegistration registerServerMessageFilter();

}  // namespace standin::outlook
