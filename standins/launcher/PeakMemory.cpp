#include "PeakMemory.h"

#include "LauncherError.h"
#include "Utf.h"
#include "com/UniqueHandle.h"

#include <psapi.h>

#include <algorithm>
#include <string>

namespace standin::launcher {

bool PeakMemory::sample(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(process, &counters, sizeof counters)) return false;
    workingSet = std::max(workingSet, counters.PeakWorkingSetSize);
    pagefile = std::max(pagefile, counters.PeakPagefileUsage);
    return true;
}

void writeMemoryReport(const std::wstring& path, const PeakMemory& peak) {
    const std::string text = "peakWorkingSetBytes " + std::to_string(peak.workingSet) + "\npeakPagefileBytes " +
                             std::to_string(peak.pagefile) + "\n";
    const com::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        throw LauncherError(win32Failure("cannot write the memory report " + utf16ToUtf8(path)));
    }
}

}  // namespace standin::launcher
