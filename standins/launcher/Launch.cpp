#include "Launch.h"

#include "CommandLine.h"
#include "JobProcesses.h"
#include "LauncherError.h"
#include "Utf.h"
#include "com/UniqueHandle.h"

#include <windows.h>

#include <vector>

namespace standin::launcher {

namespace {

constexpr DWORD graceMilliseconds = 60000;
constexpr DWORD samplingMilliseconds = 10;

// An inheritable copy of a standard handle, or nothing when there is none.
com::UniqueKernelHandle inheritableCopy(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return {};
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        return {};
    }
    return com::UniqueKernelHandle(copy);
}

// Waits for the process to end; with a PeakMemory, samples it meanwhile:
// the peaks only grow, so the last sample misses at most the final moments.
void waitForEnd(HANDLE process, PeakMemory* peak) {
    if (peak == nullptr) {
        WaitForSingleObject(process, INFINITE);
        return;
    }
    while (WaitForSingleObject(process, samplingMilliseconds) == WAIT_TIMEOUT) peak->sample(process);
    peak->sample(process);  // where the system still answers for an ended process
}

// The processes in the job whose image has the given file name.
std::vector<com::UniqueKernelHandle> processesNamed(HANDLE job, const std::wstring& fileName) {
    std::vector<com::UniqueKernelHandle> found;
    for (const DWORD id : jobProcessIds(job)) {
        com::UniqueKernelHandle process(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id));
        wchar_t image[MAX_PATH * 2];
        DWORD length = MAX_PATH * 2;
        if (!process || !QueryFullProcessImageNameW(process.get(), 0, image, &length)) continue;  // already gone
        const std::wstring path(image, length);
        const size_t separator = path.find_last_of(L"\\/");
        const std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
        if (CompareStringOrdinal(name.c_str(), -1, fileName.c_str(), -1, TRUE) == CSTR_EQUAL) {
            found.push_back(std::move(process));
        }
    }
    return found;
}

void waitForProcessesNamed(HANDLE job, const std::wstring& fileName) {
    const ULONGLONG deadline = GetTickCount64() + graceMilliseconds;
    for (const com::UniqueKernelHandle& process : processesNamed(job, fileName)) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        if (WaitForSingleObject(process.get(), left) != WAIT_OBJECT_0) {
            TerminateProcess(process.get(), 1);
            throw LauncherError(utf16ToUtf8(fileName) + " was still running a minute after the program ended");
        }
    }
}

}  // namespace

unsigned long runProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         std::vector<wchar_t> environment, const RunOptions& options) {
    const com::UniqueKernelHandle input = inheritableCopy(STD_INPUT_HANDLE);
    const com::UniqueKernelHandle output = inheritableCopy(STD_OUTPUT_HANDLE);
    const com::UniqueKernelHandle error = inheritableCopy(STD_ERROR_HANDLE);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = error.get();

    // The processes the program starts belong to its job, so that the run can find them.
    com::UniqueKernelHandle job;
    if (!options.alsoWaitFor.empty()) {
        job.reset(CreateJobObjectW(nullptr, nullptr));
        if (!job) throw LauncherError(win32Failure("cannot create a job object"));
    }

    std::wstring commandLine = buildCommandLine(program, arguments);
    PROCESS_INFORMATION process{};
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT | (job ? CREATE_SUSPENDED : 0);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags, environment.data(), nullptr,
                        &startup, &process)) {
        throw LauncherError(win32Failure("cannot start " + utf16ToUtf8(program)));
    }
    const com::UniqueKernelHandle processHandle(process.hProcess);
    const com::UniqueKernelHandle threadHandle(process.hThread);
    if (job) {
        if (!AssignProcessToJobObject(job.get(), processHandle.get())) {
            TerminateProcess(processHandle.get(), 1);
            throw LauncherError(win32Failure("cannot put the program in its job"));
        }
        ResumeThread(threadHandle.get());
    }

    waitForEnd(processHandle.get(), options.peakMemory);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(processHandle.get(), &exitCode)) {
        throw LauncherError(win32Failure("cannot read the exit code"));
    }
    if (job) waitForProcessesNamed(job.get(), options.alsoWaitFor);
    return exitCode;
}

}  // namespace standin::launcher
