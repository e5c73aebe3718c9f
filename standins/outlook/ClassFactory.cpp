#include "ClassFactory.h"

#include "Application.h"
#include "CallAdmission.h"
#include "ErrorReporting.h"
#include "Journal.h"
#include "OutlookInterfaces.h"
#include "ProfileValues.h"

#include <atomic>
#include <memory>

namespace standin::outlook {

namespace {

const char* const createOperation = "Outlook.Application.create";
std::atomic<long> locks{0};

}  // namespace

long ClassFactory::serverLocks() { return locks.load(); }

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    SessionPtr session;
    try {
        session = std::make_shared<const Session>(profile::loadProfile());
    } catch (const std::exception& error) {
        recordCall(createOperation);
        journal(std::string("profile error: ") + error.what());
        return E_FAIL;
    }
    admission::configure(session->profile().busy, session->profile().goesAwayAfter);
    // A class factory's call, not an IDispatch one: refused once Outlook has
    // gone away, but never turned away as busy.
    if (const HRESULT refused = admission::goneAwayCall(); FAILED(refused)) return refused;
    const int call = recordCall(createOperation);
    if (const profile::Fault* fault = session->faultFor(createOperation, call)) {
        // Creation cannot succeed without an object; "result": "null" refuses it.
        return fault->yieldsNull ? E_NOINTERFACE
                                 : profile::reportFault(*fault, ::outlook::ApplicationInterface.iid, nullptr);
    }
    return com::makeComObject<Application>(session)->QueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ++locks;
    } else {
        --locks;
    }
    return S_OK;
}

}  // namespace standin::outlook
