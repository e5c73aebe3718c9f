#include "Dispatch.h"

#include "BusyRetry.h"
#include "ComError.h"
#include "UniqueHandle.h"

#include <algorithm>
#include <string>
#include <utility>

namespace com {

namespace {

// What Invoke reports of an exception the member raised. The strings it
// hands out are the caller's: each attempt's are taken over as soon as the
// attempt returns, and freed with this.
class ExceptionInfo {
public:
    ExceptionInfo() noexcept = default;
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;

    // The slot for one attempt, cleared of what an earlier one left.
    EXCEPINFO* forAttempt() noexcept {
        info = EXCEPINFO{};
        return &info;
    }
    // Takes over the strings of the attempt that returned, completed first
    // when the member defers them.
    void takeStrings(bool complete) {
        if (complete && info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
        info.pfnDeferredFillIn = nullptr;
        source.reset(std::exchange(info.bstrSource, nullptr));
        description.reset(std::exchange(info.bstrDescription, nullptr));
        helpFile.reset(std::exchange(info.bstrHelpFile, nullptr));
    }
    HRESULT carriedResult() const noexcept { return FAILED(info.scode) ? info.scode : DISP_E_EXCEPTION; }
    std::wstring describedFailure() const {
        return std::wstring(description ? description.get() : L"", SysStringLen(description.get()));
    }

private:
    EXCEPINFO info{};
    UniqueBstr source;
    UniqueBstr description;
    UniqueBstr helpFile;
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
        const HRESULT attempt = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result.put(),
                                               exception.forAttempt(), nullptr);
        exception.takeStrings(attempt == DISP_E_EXCEPTION);
        return attempt;
    });
    if (outcome == DISP_E_EXCEPTION) {
        throw ComError(exception.carriedResult(), member.operationName(), exception.describedFailure());
    }
    if (FAILED(outcome)) throwComError(outcome, member.operationName(), object, member.iid());
    return result;
}

// The result as `type`, or the COM error of the member whose result it is.
void changeType(Variant& result, VARTYPE type, const DispatchMember& member) {
    const HRESULT outcome = VariantChangeType(result.get(), result.get(), 0, type);
    if (FAILED(outcome)) throwComError(outcome, member.operationName());
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

ComRef<IDispatch> takeObject(Variant& result, const DispatchMember& member) {
    if (result->vt == VT_EMPTY || result->vt == VT_NULL) return nullptr;
    if (result->vt != VT_DISPATCH) changeType(result, VT_DISPATCH, member);
    return ComRef<IDispatch>::adopt(std::exchange(result->pdispVal, nullptr));
}

ComRef<IUnknown> takeUnknown(Variant& result, const DispatchMember& member) {
    if (result->vt == VT_EMPTY || result->vt == VT_NULL) return nullptr;
    if (result->vt != VT_UNKNOWN && result->vt != VT_DISPATCH) changeType(result, VT_UNKNOWN, member);
    IUnknown* unknown =
        result->vt == VT_DISPATCH ? std::exchange(result->pdispVal, nullptr) : std::exchange(result->punkVal, nullptr);
    return ComRef<IUnknown>::adopt(unknown);
}

long takeLong(Variant& result, const DispatchMember& member) {
    if (result->vt != VT_I4) changeType(result, VT_I4, member);
    return result->lVal;
}

bool takeBool(Variant& result, const DispatchMember& member) {
    if (result->vt != VT_BOOL) changeType(result, VT_BOOL, member);
    return result->boolVal != VARIANT_FALSE;
}

DATE takeDate(Variant& result, const DispatchMember& member) {
    if (result->vt == VT_EMPTY || result->vt == VT_NULL) throwComError(DISP_E_TYPEMISMATCH, member.operationName());
    if (result->vt != VT_DATE) changeType(result, VT_DATE, member);
    return result->date;
}

WideString takeText(Variant& result, const DispatchMember& member) {
    if (result->vt != VT_BSTR) changeType(result, VT_BSTR, member);
    return WideString::adopt(std::exchange(result->bstrVal, nullptr));
}

}  // namespace com
