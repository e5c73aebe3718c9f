#pragma once

#include <windows.h>

#include <string>

namespace standin::launcher {

// The peak memory figures of a process, as GetProcessMemoryInfo gives them.
struct PeakMemory {
    SIZE_T workingSet = 0;  // PeakWorkingSetSize
    SIZE_T pagefile = 0;    // PeakPagefileUsage (private bytes)

    // Takes the larger figures of what is held and what the process shows now.
    // False when the process can no longer be asked.
    bool sample(HANDLE process);
};

// Writes "peakWorkingSetBytes N" and "peakPagefileBytes N" lines to the file.
void writeMemoryReport(const std::wstring& path, const PeakMemory& peak);

}  // namespace standin::launcher
