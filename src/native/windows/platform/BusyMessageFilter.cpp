#include "platform/BusyMessageFilter.h"

#include "platform/BusyRetry.h"

#include <new>

namespace platform {

namespace {

constexpr DWORD cancelCall = static_cast<DWORD>(-1);

}  // namespace

DWORD STDMETHODCALLTYPE BusyMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, INTERFACEINFO*) {
    return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE BusyMessageFilter::RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) {
    if (rejectType != SERVERCALL_RETRYLATER) return cancelCall;
    const auto pause = pauseBeforeRetry(std::chrono::milliseconds(tickCount));
    return pause ? static_cast<DWORD>(pause->count()) : cancelCall;
}

DWORD STDMETHODCALLTYPE BusyMessageFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }

MessageFilterRegistration::MessageFilterRegistration() noexcept {
    ComRef<BusyMessageFilter> filter;
    try {
        filter = makeComObject<BusyMessageFilter>();
    } catch (const std::bad_alloc&) {
        return;  // the calls keep COM's default handling
    }
    registered = SUCCEEDED(CoRegisterMessageFilter(filter.get(), previous.receive()));
}

MessageFilterRegistration::~MessageFilterRegistration() {
    if (registered) CoRegisterMessageFilter(previous.get(), nullptr);
}

}  // namespace platform
