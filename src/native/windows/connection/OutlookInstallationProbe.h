#pragma once

// Makes sure that at least one Office version registered under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Office names an Outlook install
// directory that holds Outlook.exe. Raises std::runtime_error with
// "MS Outlook not found or not properly installed" when none does.
void probeOutlookInstallation();
