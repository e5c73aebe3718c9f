#include "ClientProcess.h"

#include <tlhelp32.h>

namespace standin::outlook {

com::UniqueKernelHandle openClientProcess() {
    // A snapshot that cannot be taken is INVALID_HANDLE_VALUE, as a file that
    // cannot be opened is.
    const com::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return {};
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self) {
            return com::UniqueKernelHandle(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ParentProcessID));
        }
    }
    return {};
}

void serveUntilEnded(HANDLE client) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &client, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) return;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace standin::outlook
