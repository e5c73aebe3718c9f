#pragma once

#include <windows.h>

#include <initializer_list>

namespace connection {

// Makes sure that Outlook is installed: that at least one Office version
// registered under HKEY_LOCAL_MACHINE\Software\Microsoft\Office names an
// Outlook install directory that holds Outlook.exe, or, when none does, that
// Windows' App Paths or Click-to-Run's configuration name an OUTLOOK.EXE
// built for this process's machine (read in this process's registry view,
// and by a 32-bit process in the 64-bit view too). An Outlook.exe of the
// other bitness does not count. Raises std::runtime_error with "MS
// Outlook not found or not properly installed" when none does.
void probeOutlookInstallation();

namespace detail {

// One view of HKEY_LOCAL_MACHINE: the key the paths are opened under, and
// the flag that selects the view (0 for the process's own, KEY_WOW64_64KEY).
struct RegistryView {
    HKEY root;
    REGSAM flags;
};

// Whether Windows' App Paths or Click-to-Run's configuration, read in these
// views in this order, name an OUTLOOK.EXE built for this process's machine.
bool fallbacksFindOutlook(std::initializer_list<RegistryView> views);

}  // namespace detail

}  // namespace connection
