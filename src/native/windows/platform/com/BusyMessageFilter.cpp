#include "BusyMessageFilter.h"

#include "BusyRetry.h"

namespace com {

namespace {

constexpr DWORD cancelCall = static_cast<DWORD>(-1);

}  // namespace

DWORD STDMETHODCALLTYPE BusyMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, INTERFACEINFO*) {
    return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE BusyMessageFilter::RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) {
    if (rejectType != SERVERCALL_RETRYLATER) return cancelCall;
    // The call's own wait knows when the call was first made, across the
    // round trips that make it; COM's tick count starts at this attempt.
    const BusyWait* const wait = BusyWait::current();
    const auto pause = wait != nullptr ? wait->nextPause() : pauseBeforeRetry(std::chrono::milliseconds(tickCount));
    // A shorter pause would make COM retry at once, without waiting.
    if (!pause || *pause < busyRetry::shortestFilterPause) return cancelCall;
    return static_cast<DWORD>(pause->count());
}

DWORD STDMETHODCALLTYPE BusyMessageFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }

MessageFilterRegistration registerBusyMessageFilter() {
    const ComRef<BusyMessageFilter> filter = makeComObject<BusyMessageFilter>();
    ComRef<IMessageFilter> previous;
    if (FAILED(CoRegisterMessageFilter(filter.get(), previous.put()))) return MessageFilterRegistration();
    return MessageFilterRegistration(RestoreMessageFilter{std::move(previous)});
}

}  // namespace com
