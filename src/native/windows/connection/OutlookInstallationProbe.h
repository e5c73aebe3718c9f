#pragma once

#include <windows.h>

// Makes sure that Outlook is installed: that at least one Office version
// registered under HKEY_LOCAL_MACHINE\Software\Microsoft\Office names an
// Outlook install directory that holds Outlook.exe, or, when none does, that
// Windows' App Paths or Click-to-Run's configuration name an OUTLOOK.EXE
// built for this process's machine. Raises std::runtime_error with "MS
// Outlook not found or not properly installed" when none does.
void probeOutlookInstallation();

namespace detail {

// Puts "\Outlook.exe" and a terminator after the install directory that a
// read of `readBytes` left in `value`, over its terminator if it has one.
// `value` has room for `queriedBytes` and the suffix. False, and nothing
// written, when the read returned nothing or more than was queried.
bool placeOutlookExeSuffix(wchar_t* value, DWORD queriedBytes, DWORD readBytes) noexcept;

}  // namespace detail
