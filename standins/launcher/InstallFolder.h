#pragma once

#include "LaunchProfile.h"

#include <string>

namespace standin::launcher {

// Makes the file at `path` what `kind` says (a file that is not an
// executable, a PE executable's headers for x64 or x86, a directory, or
// nothing), creating its folder as needed. Throws LauncherError when the
// file system refuses.
void prepareExecutable(const std::wstring& path, OutlookExe kind);

// The same for <folder>\Outlook.exe.
void prepareOutlookExe(const std::wstring& folder, OutlookExe kind);

}  // namespace standin::launcher
