#include "platform/BusyMessageFilter.h"

#include "platform/BusyRetry.h"

#include <new>

namespace platform {

namespace {

constexpr DWORD cancelCall = static_cast<DWORD>(-1);

}  // namespace

HRESULT STDMETHODCALLTYPE BusyMessageFilter::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMessageFilter)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IMessageFilter*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE BusyMessageFilter::AddRef() { return ++references; }

ULONG STDMETHODCALLTYPE BusyMessageFilter::Release() {
    const ULONG remaining = --references;
    if (remaining == 0) delete this;
    return remaining;
}

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
    const ComRef<IMessageFilter> filter = ComRef<IMessageFilter>::adopt(new (std::nothrow) BusyMessageFilter());
    if (!filter) return;
    registered = SUCCEEDED(CoRegisterMessageFilter(filter.get(), previous.receive()));
}

MessageFilterRegistration::~MessageFilterRegistration() {
    if (registered) CoRegisterMessageFilter(previous.get(), nullptr);
}

}  // namespace platform
