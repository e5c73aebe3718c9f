#include "ClassFactory.h"

#include <memory>

#include "Application.h"
#include "BusyWindows.h"
#include "ErrorReporting.h"
#include "Interfaces.h"
#include "Journal.h"
#include "ProfileValues.h"

namespace outlook {

namespace {

const char* const createOperation = "Outlook.Application.create";
std::atomic<long> locks{0};

}  // namespace

long ClassFactory::serverLocks() { return locks.load(); }

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
        return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
    const ULONG remaining = --references_;
    if (remaining == 0) {
        delete this;
    }
    return remaining;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    const int call = recordCall(createOperation);
    SessionPtr session;
    try {
        session = std::make_shared<const Session>(loadProfile());
    } catch (const std::exception& error) {
        standin::journal(std::string("profile error: ") + error.what());
        return E_FAIL;
    }
    busy::configure(session->profile().busy);
    if (const Fault* fault = session->faultFor(createOperation, call)) {
        // Creation cannot succeed without an object; "result": "null" refuses it.
        return fault->yieldsNull ? E_NOINTERFACE : reportFault(*fault, ApplicationInterface.iid, nullptr);
    }
    Application* application = createObject<Application>(session);
    const HRESULT result = application->QueryInterface(iid, object);
    application->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ++locks;
    } else {
        --locks;
    }
    return S_OK;
}

}  // namespace outlook
