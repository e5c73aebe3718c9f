#pragma once

// Fake Outlook objects for unit tests of the late-binding layer and of the
// export above it: each answers its members by name from the test's table
// and writes down what it was asked, in order, as Wine's conformance tests
// write calls down. No COM server, no Wine process: the objects live in the
// test, and the busy policy's clock is the test's own.

#include "platform/com/BusyRetry.h"
#include "platform/com/ComError.h"
#include "platform/com/ComObject.h"
#include "platform/outlook/OutlookDefinitions.h"

#include <oleauto.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fake {

using com::ComRef;
using Calls = std::vector<std::string>;

// What the fake objects of a test saw, in order; kept after the objects are gone.
struct Log {
    Calls lookups;
    Calls calls;
    std::vector<BSTR> strings;  // BSTR arguments as Invoke received them
    long references = 0;        // held on all fake objects now
    long objects = 0;           // alive now
};

std::string ascii(const std::wstring& text);

// An Outlook object answering members by name from the test's table.
class Object final : public com::ComObject<IDispatch> {
public:
    using Answer = std::function<HRESULT(const DISPPARAMS& parameters, VARIANT& result, EXCEPINFO* exception)>;

    explicit Object(Log& record);

    std::map<std::wstring, Answer> answers;  // a member without one returns VT_EMPTY
    HRESULT contactQuery = E_NOINTERFACE;    // the answer to a query for _ContactItem
    int lookupRejections = 0;                // calls to turn away as a busy Outlook does
    int invokeRejections = 0;
    int queryRejections = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* dispids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override;

private:
    ~Object() override;
    HRESULT queryOtherInterface(REFIID iid, void** object) override;

    Log& log;
};

ComRef<IDispatch> dispatchOf(const ComRef<Object>& object);

// Answers: `type` (VT_I4, VT_BOOL, VT_DISPATCH or VT_UNKNOWN) holding
// `value` or a new reference to `object`; a text; a failure.
Object::Answer returning(VARTYPE type, LONG value, ComRef<IUnknown> object = nullptr);
Object::Answer returning(const ComRef<Object>& object);
Object::Answer text(const std::wstring& value);
Object::Answer failing(HRESULT result);

// The clock of the busy policy while a test lives: time passes only when the
// policy sleeps or a test moves it on.
class Clock final : public com::RetryClock {
public:
    Clock() noexcept : use(*this) {}
    std::chrono::milliseconds now() override { return current; }
    void sleep(std::chrono::milliseconds duration) override {
        sleeps.push_back(duration);
        current += duration;
    }
    std::chrono::milliseconds current{1000};
    std::vector<std::chrono::milliseconds> sleeps;

private:
    com::UseRetryClock use;
};

// The HRESULT of the COM error that `call()` raises, or S_OK.
template <typename Call>
HRESULT failureOf(Call&& call) {
    try {
        call();
    } catch (const com::ComError& error) {
        return error.result();
    }
    return S_OK;
}

}  // namespace fake
