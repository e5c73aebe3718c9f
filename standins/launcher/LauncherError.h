#pragma once

#include <stdexcept>

namespace standin::launcher {

// A failure of the launcher itself (not of the program it runs): reported on
// stderr with exit code 125.
class LauncherError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "what failed (Win32 error N)" for the calling thread's last error.
std::string win32Failure(const std::string& what);

}  // namespace standin::launcher
