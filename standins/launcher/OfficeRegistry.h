#pragma once

#include "LaunchProfile.h"

namespace standin::launcher {

// Replaces HKLM\Software\Microsoft\Office (64-bit view) with the given keys,
// and makes each version's Outlook.exe what the profile asks for.
void writeOfficeRegistry(const OfficeRegistry& registry);

// The state every run without a "registry" member sees: one version "16.0"
// whose Outlook\InstallRoot Path (REG_SZ, terminated) names a folder that
// holds Outlook.exe.
void writeDefaultOfficeRegistry();

}  // namespace standin::launcher
