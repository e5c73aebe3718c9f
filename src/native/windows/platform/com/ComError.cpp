#include "ComError.h"

#include "BusyRetry.h"
#include "ComRef.h"

#include <oaidl.h>

namespace com {

namespace {

// The description of the error information that the failed call left, if
// the object says it leaves one for the interface. Asking is a call into
// Outlook too, and a busy Outlook turns it away.
std::wstring describedFailure(IUnknown* object, const IID& iid) {
    ComRef<ISupportErrorInfo> support;
    const HRESULT query = retryWhileBusy(
        [&] { return object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.receive())); });
    if (FAILED(query) || !support || support->InterfaceSupportsErrorInfo(iid) != S_OK) return {};

    ComRef<IErrorInfo> errorInfo;
    if (GetErrorInfo(0, errorInfo.receive()) != S_OK || !errorInfo) return {};
    BSTR description = nullptr;
    if (FAILED(errorInfo->GetDescription(&description))) return {};
    std::wstring text(description != nullptr ? description : L"", SysStringLen(description));
    SysFreeString(description);
    return text;
}

}  // namespace

void throwComError(HRESULT result, std::string operation) { throw ComError(result, std::move(operation)); }

void throwComError(HRESULT result, std::string operation, IUnknown* object, const IID& iid) {
    std::wstring description = object != nullptr ? describedFailure(object, iid) : std::wstring();
    throw ComError(result, std::move(operation), std::move(description));
}

HRESULT lastErrorAsHresult() noexcept { return HRESULT_FROM_WIN32(GetLastError()); }

}  // namespace com
