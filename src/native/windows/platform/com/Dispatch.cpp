#include "Dispatch.h"

#include "BusyRetry.h"
#include "ComError.h"

#include <algorithm>
#include <string>
#include <utility>

namespace com {

namespace {

// What Invoke reports of an exception the member raised.
struct ExceptionInfo {
    EXCEPINFO info{};
    ExceptionInfo() noexcept = default;
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(ExceptionInfo&& other) noexcept {
        std::swap(info, other.info);
        return *this;
    }
    ~ExceptionInfo() {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
    void fillIn() {
        if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
        info.pfnDeferredFillIn = nullptr;
    }
    HRESULT carriedResult() const noexcept { return FAILED(info.scode) ? info.scode : DISP_E_EXCEPTION; }
    std::wstring description() const {
        return std::wstring(info.bstrDescription != nullptr ? info.bstrDescription : L"",
                            SysStringLen(info.bstrDescription));
    }
};

Variant invoke(IDispatch* object, const DispatchMember& member, WORD kind, VARIANT* arguments, unsigned argumentCount) {
    if (object == nullptr) throwComError(E_POINTER, member.operationName());
    // The DISPID and the call are round trips of one call: one deadline for both.
    BusyWait wait;
    const DISPID dispid = member.dispid(object);

    // IDispatch takes its arguments last first.
    constexpr unsigned maximumArguments = 2;
    if (argumentCount > maximumArguments) throwComError(E_INVALIDARG, member.operationName());
    VARIANT reversed[maximumArguments];
    std::reverse_copy(arguments, arguments + argumentCount, reversed);
    DISPPARAMS parameters{argumentCount > 0 ? reversed : nullptr, nullptr, argumentCount, 0};

    Variant result;
    ExceptionInfo exception;
    const HRESULT outcome = wait.retry([&] {
        exception = ExceptionInfo();
        return object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result.resetAndAddress(),
                              &exception.info, nullptr);
    });
    if (outcome == DISP_E_EXCEPTION) {
        exception.fillIn();
        throw ComError(exception.carriedResult(), member.operationName(), exception.description());
    }
    if (FAILED(outcome)) throwComError(outcome, member.operationName(), object, member.iid());
    return result;
}

void changeType(Variant& result, VARTYPE type) {
    const HRESULT outcome = VariantChangeType(result.get(), result.get(), 0, type);
    if (FAILED(outcome)) throwComError(outcome);
}

// Raised by forgetDispids; a DISPID cached in an earlier generation is asked for again.
unsigned dispidGeneration = 1;

}  // namespace

void DispatchMember::forgetDispids() noexcept { ++dispidGeneration; }

DISPID DispatchMember::dispid(IDispatch* object) const {
    if (cached == DISPID_UNKNOWN || cachedIn != dispidGeneration) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID found = DISPID_UNKNOWN;
        const HRESULT outcome =
            retryWhileBusy([&] { return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &found); });
        if (FAILED(outcome)) throwComError(outcome, operationName(), object, interfaceId);
        cached = found;
        cachedIn = dispidGeneration;
    }
    return cached;
}

std::string DispatchMember::operationName() const {
    std::string operation = std::string(interfaceName) + ".";
    // Member names are ASCII.
    for (const wchar_t* unit = name; *unit != L'\0'; ++unit) operation.push_back(static_cast<char>(*unit));
    return operation;
}

Variant getProperty(IDispatch* object, const DispatchMember& member) {
    return invoke(object, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, 0);
}

Variant callMethod(IDispatch* object, const DispatchMember& member, VARIANT* arguments, unsigned argumentCount) {
    return invoke(object, member, DISPATCH_METHOD, arguments, argumentCount);
}

ComRef<IDispatch> takeObject(Variant& result) {
    if (result->vt == VT_EMPTY || result->vt == VT_NULL) return nullptr;
    if (result->vt != VT_DISPATCH) changeType(result, VT_DISPATCH);
    return ComRef<IDispatch>::adopt(std::exchange(result->pdispVal, nullptr));
}

ComRef<IUnknown> takeUnknown(Variant& result) {
    if (result->vt == VT_EMPTY || result->vt == VT_NULL) return nullptr;
    if (result->vt != VT_UNKNOWN && result->vt != VT_DISPATCH) changeType(result, VT_UNKNOWN);
    IUnknown* unknown =
        result->vt == VT_DISPATCH ? std::exchange(result->pdispVal, nullptr) : std::exchange(result->punkVal, nullptr);
    return ComRef<IUnknown>::adopt(unknown);
}

long takeLong(Variant& result) {
    if (result->vt != VT_I4) changeType(result, VT_I4);
    return result->lVal;
}

bool takeBool(Variant& result) {
    if (result->vt != VT_BOOL) changeType(result, VT_BOOL);
    return result->boolVal != VARIANT_FALSE;
}

DATE takeDate(Variant& result) {
    if (result->vt == VT_EMPTY || result->vt == VT_NULL) throwComError(DISP_E_TYPEMISMATCH);
    if (result->vt != VT_DATE) changeType(result, VT_DATE);
    return result->date;
}

}  // namespace com
