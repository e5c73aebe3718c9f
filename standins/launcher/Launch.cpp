#include "Launch.h"

#include <windows.h>

#include "CommandLine.h"
#include "LauncherError.h"
#include "UniqueHandle.h"
#include "Utf.h"

namespace launcher {

namespace {

// An inheritable copy of a standard handle, or nothing when there is none.
standin::UniqueHandle inheritableCopy(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return {};
    }
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        return {};
    }
    return standin::UniqueHandle(copy);
}

}  // namespace

unsigned long runProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         std::vector<wchar_t> environment) {
    const standin::UniqueHandle input = inheritableCopy(STD_INPUT_HANDLE);
    const standin::UniqueHandle output = inheritableCopy(STD_OUTPUT_HANDLE);
    const standin::UniqueHandle error = inheritableCopy(STD_ERROR_HANDLE);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = error.get();

    std::wstring commandLine = buildCommandLine(program, arguments);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                        environment.data(), nullptr, &startup, &process)) {
        throw LauncherError(win32Failure("cannot start " + standin::utf16ToUtf8(program)));
    }
    const standin::UniqueHandle processHandle(process.hProcess);
    const standin::UniqueHandle threadHandle(process.hThread);

    WaitForSingleObject(processHandle.get(), INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(processHandle.get(), &exitCode)) {
        throw LauncherError(win32Failure("cannot read the exit code"));
    }
    return exitCode;
}

}  // namespace launcher
