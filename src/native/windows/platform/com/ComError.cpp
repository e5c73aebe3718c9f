#include "ComError.h"

#include "BusyRetry.h"
#include "ComRef.h"
#include "UniqueHandle.h"

#include <oaidl.h>

namespace com {

namespace {

// The description of the error information that the failed call left, if
// the object says it leaves one for the interface. Asking is a call into
// Outlook too, and a busy Outlook turns it away.
std::wstring describedFailure(IUnknown* object, const IID& iid) {
    ComRef<ISupportErrorInfo> support;
    const HRESULT query = retryWhileBusy(
        [&] { return object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.put())); });
    if (FAILED(query) || !support || support->InterfaceSupportsErrorInfo(iid) != S_OK) return {};

    ComRef<IErrorInfo> errorInfo;
    if (GetErrorInfo(0, errorInfo.put()) != S_OK || !errorInfo) return {};
    UniqueBstr description;
    if (FAILED(errorInfo->GetDescription(description.put())) || !description) return {};
    return std::wstring(description.get(), SysStringLen(description.get()));
}

}  // namespace

void throwComError(HRESULT result, std::string operation) { throw ComError(result, std::move(operation)); }

void throwComError(HRESULT result, std::string operation, IUnknown* object, const IID& iid) {
    std::wstring description = object != nullptr ? describedFailure(object, iid) : std::wstring();
    throw ComError(result, std::move(operation), std::move(description));
}

HRESULT lastErrorAsHresult() noexcept { return HRESULT_FROM_WIN32(GetLastError()); }

}  // namespace com
