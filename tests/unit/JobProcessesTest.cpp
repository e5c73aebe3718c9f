// The launcher finds a local-server run's server among the processes of the
// run's job, which may hold Wine's desktop process too, started first.
// Every process of the job must be listed, not only the first.

#include "JobProcesses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A job whose processes end with it.
class Job {
public:
    Job() : handle_(CreateJobObjectW(nullptr, nullptr)) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (handle_ != nullptr) {
            SetInformationJobObject(handle_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
    }
    ~Job() {
        if (handle_ != nullptr) {
            TerminateJobObject(handle_, 0);
            CloseHandle(handle_);
        }
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Starts a process that never runs (suspended) in the job; returns its id, or 0.
DWORD startInJob(const Job& job) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring program = std::wstring(system) + L"\\cmd.exe";
    std::wstring commandLine = L"cmd.exe /c exit";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        return 0;
    }
    const BOOL assigned = AssignProcessToJobObject(job.get(), process.hProcess);
    if (!assigned) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return assigned ? process.dwProcessId : 0;
}

}  // namespace

TEST(JobProcesses, EveryProcessOfTheJobIsListed) {
    const Job job;
    ASSERT_NE(job.get(), nullptr);
    EXPECT_TRUE(standin::launcher::jobProcessIds(job.get()).empty());

    std::vector<DWORD> started;
    for (int count = 0; count < 3; ++count) {
        started.push_back(startInJob(job));
        ASSERT_NE(started.back(), 0u);
    }
    std::vector<DWORD> listed = standin::launcher::jobProcessIds(job.get());
    std::sort(listed.begin(), listed.end());
    std::sort(started.begin(), started.end());
    EXPECT_EQ(listed, started);
}
