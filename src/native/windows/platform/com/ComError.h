#pragma once

#include <windows.h>
#include <unknwn.h>

#include <exception>
#include <string>
#include <utility>

namespace com {

// The error of a failing COM call: its HRESULT, the operation that failed
// (such as "_ContactItem.Attachments"), and the description that Outlook
// gave of the failure, where it gave one. Everything is read where the
// error is raised, while the failed call's error information is at hand.
class ComError : public std::exception {
public:
    explicit ComError(HRESULT result, std::string operation = {}, std::wstring description = {})
        : hresult(result),
          failedOperation(std::move(operation)),
          outlookDescription(std::move(description)),
          summary((failedOperation.empty() ? std::string("a COM call") : failedOperation) + " failed") {}

    HRESULT result() const noexcept { return hresult; }
    // Empty when the failure is not a call's (a null reference, say).
    const std::string& operation() const noexcept { return failedOperation; }
    // Outlook's own words, empty when it gave none.
    const std::wstring& description() const noexcept { return outlookDescription; }
    const char* what() const noexcept override { return summary.c_str(); }

private:
    HRESULT hresult;
    std::string failedOperation;
    std::wstring outlookDescription;
    std::string summary;
};

[[noreturn]] void throwComError(HRESULT result, std::string operation = {});

// Raises the error of the call `operation` that failed on `object` through
// the interface `iid`, with the description from the error information that
// the object declares it supplies for that interface.
[[noreturn]] void throwComError(HRESULT result, std::string operation, IUnknown* object, const IID& iid);

// The HRESULT form of a Win32 error code, as conversions and file reads report it.
HRESULT lastErrorAsHresult() noexcept;

}  // namespace com
