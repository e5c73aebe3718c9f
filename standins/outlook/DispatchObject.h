#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <functional>
#include <vector>

#include "Arguments.h"
#include "Interfaces.h"
#include "LiveObjects.h"
#include "Session.h"

namespace outlook {

// What a member yields, which decides what a "result": "null" fault gives:
// a null object, a null BSTR, or VT_EMPTY for plain values.
enum class ResultKind { Object, Unknown, Bstr, Value };

// Base of every Outlook object: reference counting, IDispatch by member name
// (late binding only, no type information) and ISupportErrorInfo. Each call
// of a member is the operation "<Interface>.<Member>": it is journaled and
// may fail as the profile's faults say before the member itself runs.
class DispatchObject : public IDispatch, public ISupportErrorInfo {
public:
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount, LCID locale,
                                            DISPID* dispIds) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argumentError) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

protected:
    using Handler = std::function<HRESULT(const Arguments& arguments, VARIANT& result)>;

    DispatchObject(SessionPtr session, const OutlookInterface& outlookInterface);
    virtual ~DispatchObject() = default;

    void addMember(const char* name, ResultKind kind, Handler handler);

    // Lets a class answer a QueryInterface before the common interfaces are
    // considered; returns true when it has answered (the result in `answer`).
    virtual bool answerQueryInterface(REFIID iid, void** object, HRESULT& answer);

    const SessionPtr& session() const { return session_; }
    const OutlookInterface& outlookInterface() const { return interface_; }

private:
    struct Member {
        const char* name;
        ResultKind kind;
        Handler handler;
    };

    LiveObject live_;
    std::atomic<ULONG> references_{1};
    SessionPtr session_;
    const OutlookInterface& interface_;
    std::vector<Member> members_;
};

// Creates an object with one reference, owned by the caller.
template <typename Object, typename... Arguments>
Object* createObject(Arguments&&... arguments) {
    return new Object(std::forward<Arguments>(arguments)...);
}

}  // namespace outlook
