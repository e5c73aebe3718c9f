#pragma once

#include <stdexcept>
#include <string>

namespace standin::launcher {

// A failure of the launcher itself (not of the program it runs): reported on
// stderr with exit code 125.
class LauncherError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes "standin-launcher: <message>" on standard error.
void reportFailure(const std::string& message);

// "what failed (Win32 error N)" for the calling thread's last error.
std::string win32Failure(const std::string& what);

// "what failed (error N)" for a status that a function returned, as the
// registry functions do.
std::string statusFailure(const std::string& what, long status);

}  // namespace standin::launcher
