#include "export/PictureFileLock.h"

#include "platform/com/ComError.h"

#include <cstdint>
#include <cwctype>
#include <string>
#include <string_view>

namespace exporting {

namespace {

// Long enough for Outlook to save a large picture; a holder stuck longer than
// this is not waited for, and the picture is reported as not readable.
constexpr DWORD waitMilliseconds = 120000;

// Mutex names cannot hold path separators: the name carries a hash of the
// path, case folded as the file system folds it.
std::wstring lockName(const wchar_t* nameSpace, std::wstring_view picturePath) {
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t unit : picturePath) {
        hash ^= static_cast<std::uint64_t>(std::towlower(unit));
        hash *= 1099511628211ull;
    }
    wchar_t digits[17];
    for (int at = 15; at >= 0; --at, hash >>= 4) digits[at] = L"0123456789abcdef"[hash & 0xF];
    digits[16] = L'\0';
    return std::wstring(nameSpace) + L"contact-exporter-picture-" + digits;
}

HANDLE openLock(std::wstring_view picturePath) {
    // Global, so that the same user's sessions share it; Local where the
    // global namespace is closed to the process.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, lockName(L"Global\\", picturePath).c_str());
    if (mutex == nullptr) mutex = CreateMutexW(nullptr, FALSE, lockName(L"Local\\", picturePath).c_str());
    return mutex;
}

}  // namespace

PictureFileLock::Holding PictureFileLock::hold(const wchar_t* picturePath) {
    if (!mutex) {
        mutex.reset(openLock(picturePath));
        if (!mutex) com::throwComError(com::lastErrorAsHresult(), "CreateMutex for the picture file");
    }
    const DWORD outcome = WaitForSingleObject(mutex.get(), waitMilliseconds);
    // An abandoned lock was left by an exporter that ended while holding it;
    // the picture file is simply overwritten.
    if (outcome != WAIT_OBJECT_0 && outcome != WAIT_ABANDONED) {
        com::throwComError(outcome == WAIT_TIMEOUT ? HRESULT_FROM_WIN32(ERROR_TIMEOUT) : com::lastErrorAsHresult(),
                           "waiting for the picture file");
    }
    return Holding(mutex.get());
}

}  // namespace exporting
