#include "ServerMessageFilter.h"

#include "CallAdmission.h"
#include "OutlookInterfaces.h"
#include "com/ComObject.h"
#include "com/ComRef.h"

#include <objidl.h>

#include <utility>

namespace standin::outlook {

namespace {

// A remote QueryInterface reaches the filter as IRemUnknown's
// RemQueryInterface, which does not say what interface it asks for: the
// filter cannot tell the query for _ContactItem from COM's own queries, and
// lets every query run.
bool callsObjectMember(const INTERFACEINFO& call) {
    constexpr WORD firstMethodAfterIUnknown = 3;
    if (call.wMethod < firstMethodAfterIUnknown) return false;
    if (IsEqualIID(call.iid, IID_IDispatch)) return true;
    for (const ::outlook::OutlookInterface* known : outlookInterfaces) {
        if (IsEqualIID(call.iid, known->iid)) return true;
    }
    return false;
}

class ServerMessageFilter final : public com::ComObject<IMessageFilter> {
public:
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, INTERFACEINFO* call) override {
        const bool turnedAway = admission::messageFilterTurnsAway(call != nullptr && callsObjectMember(*call));
        return turnedAway ? SERVERCALL_REJECTED : SERVERCALL_ISHANDLED;
    }
    // The server makes no calls of its own that could be turned away.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

private:
    ~ServerMessageFilter() override = default;
};

}  // namespace

com::MessageFilterRegistration registerServerMessageFilter() {
    const com::ComRef<ServerMessageFilter> filter = com::makeComObject<ServerMessageFilter>();
    com::ComRef<IMessageFilter> previous;
    if (FAILED(CoRegisterMessageFilter(filter.get(), previous.put()))) return com::MessageFilterRegistration();
    return com::MessageFilterRegistration(com::RestoreMessageFilter{std::move(previous)});
}

}  // namespace standin::outlook
