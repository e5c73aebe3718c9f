#include "LauncherError.h"

#include <windows.h>

#include <string>

namespace standin::launcher {

void reportFailure(const std::string& message) {
    const std::string line = "standin-launcher: " + message + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string win32Failure(const std::string& what) {
    return what + " (Win32 error " + std::to_string(GetLastError()) + ")";
}

std::string statusFailure(const std::string& what, long status) {
    return what + " (error " + std::to_string(status) + ")";
}

}  // namespace standin::launcher
