#pragma once

#include <string>

#include "LaunchProfile.h"

namespace launcher {

// Makes <folder>\Outlook.exe a file, a directory, or absent, creating the
// folder as needed. Throws LauncherError when the file system refuses.
void prepareOutlookExe(const std::wstring& folder, OfficeVersion::OutlookExe kind);

}  // namespace launcher
