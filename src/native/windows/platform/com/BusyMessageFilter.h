#pragma once

#include "ComObject.h"
#include "ComRef.h"
#include "ScopeExit.h"

#include <objidl.h>

namespace com {

// The message filter that Office documents for clients of its automation
// servers. When Outlook answers a call with SERVERCALL_RETRYLATER, COM asks
// RetryRejectedCall, which answers with the call sites' policy: try again
// after the pause, or give up once the deadline has passed since the call
// was first made. SERVERCALL_REJECTED is given up at once. Incoming calls
// and pending messages keep COM's default handling.
class BusyMessageFilter final : public ComObject<IMessageFilter> {
public:
    BusyMessageFilter() noexcept = default;

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               INTERFACEINFO* interfaceInfo) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

private:
    ~BusyMessageFilter() override = default;
};

// Revoking a registration: the filter registered before (null when there
// was none) comes back.
struct RestoreMessageFilter {
    ComRef<IMessageFilter> previous;
    void operator()() const noexcept { CoRegisterMessageFilter(previous.get(), nullptr); }
};

// A BusyMessageFilter registered on this thread's apartment for as long as
// this lives.
using MessageFilterRegistration = ScopeExit<RestoreMessageFilter>;

// Registers a BusyMessageFilter on this thread, which must have entered a
// single-threaded apartment. No registration when COM refuses it: the calls
// then keep COM's default handling. Raises std::bad_alloc when the filter
// cannot be made.
MessageFilterRegistration registerBusyMessageFilter();

}  // namespace com
