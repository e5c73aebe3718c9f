#pragma once

#include "com/BusyMessageFilter.h"
#include "com/ComObject.h"

#include <objidl.h>

namespace standin::outlook {

// The local server's message filter. It answers SERVERCALL_REJECTED for a
// call to one of the stand-in's objects (an IDispatch or Outlook interface
// method beyond IUnknown's) inside a busy window, as a busy Outlook's does;
// COM then fails the caller's call with RPC_E_CALL_REJECTED. Once Outlook
// has gone away, the first call to arrive ends the process.
class ServerMessageFilter final : public com::ComObject<IMessageFilter> {
public:
    ServerMessageFilter() noexcept = default;

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               INTERFACEINFO* call) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

private:
    ~ServerMessageFilter() override = default;
};

// Registers a ServerMessageFilter on this thread's apartment, for as long as
// the registration lives. No registration when COM refuses it.
com::MessageFilterRegistration registerServerMessageFilter();

}  // namespace standin::outlook
