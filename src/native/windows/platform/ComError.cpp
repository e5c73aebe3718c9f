#include "platform/ComError.h"

namespace platform {

namespace detail {
void throwNullReference() { throw ComError(E_POINTER); }
}  // namespace detail

void throwComError(HRESULT result) { throw ComError(result); }

void throwComError(HRESULT result, IUnknown* object, const IID& iid) {
    ComRef<IErrorInfo> errorInfo;
    ComRef<ISupportErrorInfo> support;
    if (object != nullptr &&
        SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.receive()))) &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK) {
        if (GetErrorInfo(0, errorInfo.receive()) != S_OK) errorInfo.reset();
    }
    throw ComError(result, std::move(errorInfo));
}

HRESULT lastErrorAsHresult() noexcept { return HRESULT_FROM_WIN32(GetLastError()); }

}  // namespace platform
