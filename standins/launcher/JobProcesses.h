#pragma once

#include <windows.h>

#include <vector>

namespace standin::launcher {

// The ids of the processes in the job now (at most 256 of them). Throws
// LauncherError when the job cannot be asked.
std::vector<DWORD> jobProcessIds(HANDLE job);

}  // namespace standin::launcher
