#include "JobProcesses.h"

#include "LauncherError.h"

#include <cstddef>
#include <cstring>

namespace standin::launcher {

std::vector<DWORD> jobProcessIds(HANDLE job) {
    constexpr std::size_t capacity = 256;
    constexpr std::size_t idsAt = offsetof(JOBOBJECT_BASIC_PROCESS_ID_LIST, ProcessIdList);
    // JOBOBJECT_BASIC_PROCESS_ID_LIST declares room for one id; the others
    // follow it in the same buffer and are copied out of the bytes, not read
    // through the one-element array (an optimiser may assume no index past 0).
    std::vector<unsigned char> buffer(idsAt + capacity * sizeof(ULONG_PTR));
    if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, buffer.data(), static_cast<DWORD>(buffer.size()),
                                   nullptr)) {
        throw LauncherError(win32Failure("cannot ask the job object for its processes"));
    }
    DWORD listed = 0;
    std::memcpy(&listed, buffer.data() + offsetof(JOBOBJECT_BASIC_PROCESS_ID_LIST, NumberOfProcessIdsInList),
                sizeof listed);
    std::vector<DWORD> ids;
    for (std::size_t at = 0; at < listed && at < capacity; ++at) {
        ULONG_PTR id = 0;
        std::memcpy(&id, buffer.data() + idsAt + at * sizeof id, sizeof id);
        ids.push_back(static_cast<DWORD>(id));
    }
    return ids;
}

}  // namespace standin::launcher
