#pragma once

#include <string>

namespace launcher {

// Registers the Outlook stand-in DLL as the in-process server of
// Outlook.Application (HKLM\Software\Classes, 64-bit view).
void registerOutlookStandin(const std::wstring& dllPath);

}  // namespace launcher
