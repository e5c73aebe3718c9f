#include "DispatchObject.h"

#include "CallAdmission.h"
#include "ErrorReporting.h"
#include "Journal.h"
#include "Results.h"
#include "SecurityGuard.h"
#include "Utf.h"

#include <oleauto.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace standin::outlook {

namespace {

// DISPIDs are 1-based positions in the member table.
DISPID dispIdOf(size_t index) { return static_cast<DISPID>(index + 1); }

bool sameNameIgnoringCase(const char* member, const wchar_t* name) {
    const std::wstring wide = utf8ToUtf16(member);
    return CompareStringOrdinal(wide.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

void setNullResult(VARIANT& result, ResultKind kind) {
    switch (kind) {
    case ResultKind::Object: setObject(result, nullptr); break;
    case ResultKind::Unknown: setUnknown(result, nullptr); break;
    case ResultKind::Bstr: setText(result, std::nullopt); break;
    case ResultKind::Value: break;
    }
}

}  // namespace

DispatchObject::DispatchObject(SessionPtr session, const ::outlook::OutlookInterface& outlookInterface)
    : shared(std::move(session)), ownInterface(outlookInterface) {}

void DispatchObject::addMember(const char* name, ResultKind kind, Handler handler) {
    members.push_back(Member{name, kind, std::move(handler), std::string(ownInterface.name) + "." + name});
}

DispatchObject::Member& DispatchObject::memberNamed(const char* name) {
    for (Member& known : members) {
        if (std::string_view(known.name) == name) return known;
    }
    throw std::logic_error(std::string("no member ") + name);
}

void DispatchObject::guardMember(const char* name) { memberNamed(name).guarded = true; }

void DispatchObject::nameOperation(const char* name, std::string operation) {
    memberNamed(name).operation = std::move(operation);
}

void DispatchObject::addProperty(const char* name, ResultKind kind, std::function<void(VARIANT& result)> get) {
    addMember(name, kind, [get = std::move(get)](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) return count;
        get(result);
        return S_OK;
    });
}

void DispatchObject::addTextMethod(const char* name, ResultKind kind,
                                   std::function<HRESULT(const std::wstring& argument, VARIANT& result)> call) {
    addMember(name, kind, [call = std::move(call)](const Arguments& arguments, VARIANT& result) {
        std::wstring argument;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) outcome = arguments.text(0, argument);
        return FAILED(outcome) ? outcome : call(argument, result);
    });
}

void DispatchObject::addIntegerMethod(const char* name, ResultKind kind,
                                      std::function<HRESULT(LONG argument, VARIANT& result)> call) {
    addMember(name, kind, [call = std::move(call)](const Arguments& arguments, VARIANT& result) {
        LONG argument = 0;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) outcome = arguments.integer(0, argument);
        return FAILED(outcome) ? outcome : call(argument, result);
    });
}

HRESULT DispatchObject::queryOtherInterface(REFIID iid, void** object) {
    return IsEqualIID(iid, ownInterface.iid) ? handOut<IDispatch>(object) : E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo) {
    if (typeInfo != nullptr) *typeInfo = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT nameCount, LCID,
                                                        DISPID* dispIds) {
    if (const HRESULT refused = admission::objectCall(); FAILED(refused)) return refused;
    if (names == nullptr || dispIds == nullptr) return E_POINTER;
    HRESULT result = S_OK;
    for (UINT n = 0; n < nameCount; ++n) {
        dispIds[n] = DISPID_UNKNOWN;
        const wchar_t* name = names[n] ? names[n] : L"";
        std::string journaled = utf16ToUtf8(name);
        // Only the first name is a member; the rest would name its parameters,
        // which these members do not take by name.
        for (size_t index = 0; n == 0 && index < members.size(); ++index) {
            if (sameNameIgnoringCase(members[index].name, name)) {
                dispIds[n] = dispIdOf(index);
                journaled = members[index].name;
                break;
            }
        }
        journal("GetIDsOfNames " + std::string(ownInterface.name) + "." + journaled);
        if (dispIds[n] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE DispatchObject::Invoke(DISPID dispId, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argumentError) {
    if (const HRESULT refused = admission::objectCall(); FAILED(refused)) return refused;
    if (dispId < 1 || static_cast<size_t>(dispId) > members.size()) return DISP_E_MEMBERNOTFOUND;
    if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) return DISP_E_MEMBERNOTFOUND;
    if (parameters != nullptr && parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    const Member& member = members[static_cast<size_t>(dispId) - 1];

    VARIANT value;
    VariantInit(&value);
    HRESULT outcome = S_OK;
    const profile::Fault* fault = shared->call(member.operation);
    if (member.guarded) {
        if (const HRESULT guarded = passSecurityGuard(shared->profile().guard); FAILED(guarded)) return guarded;
    }
    if (fault != nullptr && !fault->yieldsNull) return profile::reportFault(*fault, ownInterface.iid, excepInfo);
    if (fault != nullptr) {
        setNullResult(value, member.kind);
    } else {
        outcome = member.handler(Arguments(parameters, argumentError), value);
    }
    if (FAILED(outcome)) {
        VariantClear(&value);
        return outcome;
    }
    if (result != nullptr) {
        *result = value;  // the caller's VARIANT is empty by convention
    } else {
        VariantClear(&value);
    }
    return outcome;
}

HRESULT STDMETHODCALLTYPE DispatchObject::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, ownInterface.iid) || IsEqualIID(iid, IID_IDispatch) ? S_OK : S_FALSE;
}

}  // namespace standin::outlook
