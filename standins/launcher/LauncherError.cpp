#include "LauncherError.h"

#include <windows.h>

#include <string>

namespace standin::launcher {

std::string win32Failure(const std::string& what) {
    return what + " (Win32 error " + std::to_string(GetLastError()) + ")";
}

}  // namespace standin::launcher
