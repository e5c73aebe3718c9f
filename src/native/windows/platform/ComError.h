#pragma once

#include "platform/ComRef.h"

#include <oaidl.h>

namespace platform {

// The error of a failing COM call: its HRESULT and, where the called object
// supplies it, the call's error information.
class ComError {
public:
    explicit ComError(HRESULT result, ComRef<IErrorInfo> errorInfo = nullptr) noexcept
        : hresult(result), info(std::move(errorInfo)) {}

    HRESULT result() const noexcept { return hresult; }
    IErrorInfo* errorInfo() const noexcept { return info.get(); }

private:
    HRESULT hresult;
    ComRef<IErrorInfo> info;
};

[[noreturn]] void throwComError(HRESULT result);

// Raises the error of a failed call on `object` through the interface `iid`,
// with the error information that the object declares it supplies for it.
[[noreturn]] void throwComError(HRESULT result, IUnknown* object, const IID& iid);

// The HRESULT form of a Win32 error code, as conversions and file reads report it.
HRESULT lastErrorAsHresult() noexcept;

}  // namespace platform
