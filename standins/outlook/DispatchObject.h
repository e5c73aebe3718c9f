#pragma once

#include "Arguments.h"
#include "LiveObjects.h"
#include "OutlookInterfaces.h"
#include "Session.h"
#include "com/ComObject.h"

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

namespace standin::outlook {

// What a member yields, which decides what a "result": "null" fault gives:
// a null object, a null BSTR, or VT_EMPTY for plain values.
enum class ResultKind { Object, Unknown, Bstr, Value };

// Base of every Outlook object: IDispatch by member name (late binding only,
// no type information), ISupportErrorInfo, and its own Outlook interface's
// IID answered as IDispatch. Each call of a member is the operation
// "<Interface>.<Member>": it is journaled and may fail as the profile's
// faults say before the member itself runs.
class DispatchObject : public com::ComObject<IDispatch, ISupportErrorInfo> {
public:
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
    DispatchObject(SessionPtr session, const ::outlook::OutlookInterface& outlookInterface);

    // A property, or a method without arguments: `get` sets the result.
    void addProperty(const char* name, ResultKind kind, std::function<void(VARIANT& result)> get);
    // A method of one text argument (VT_BSTR).
    void addTextMethod(const char* name, ResultKind kind,
                       std::function<HRESULT(const std::wstring& argument, VARIANT& result)> call);
    // A method of one integer argument (VT_I4 or VT_INT).
    void addIntegerMethod(const char* name, ResultKind kind,
                          std::function<HRESULT(LONG argument, VARIANT& result)> call);

    // The member's calls pass Outlook's security prompt first (after their
    // journal line, before any fault).
    void guardMember(const char* name);
    // The member's calls are the operation `operation` rather than
    // "<Interface>.<Member>" (a member that every kind of item has).
    void nameOperation(const char* name, std::string operation);

    // The object's own Outlook interface. Items override it for _ContactItem,
    // whose query is an operation of its own ("item.QueryInterface").
    HRESULT queryOtherInterface(REFIID iid, void** object) override;

    const SessionPtr& session() const { return shared; }
    const ::outlook::OutlookInterface& outlookInterface() const { return ownInterface; }

private:
    using Handler = std::function<HRESULT(const Arguments& arguments, VARIANT& result)>;

    void addMember(const char* name, ResultKind kind, Handler handler);

    struct Member {
        const char* name;
        ResultKind kind;
        Handler handler;
        std::string operation;
        bool guarded = false;
    };

    Member& memberNamed(const char* name);

    LiveObject live;
    SessionPtr shared;
    const ::outlook::OutlookInterface& ownInterface;
    std::vector<Member> members;
};

}  // namespace standin::outlook
