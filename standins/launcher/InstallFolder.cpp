#include "InstallFolder.h"

#include "ExecutableHeaders.h"
#include "LauncherError.h"
#include "Utf.h"
#include "com/UniqueHandle.h"

#include <windows.h>

#include <vector>

namespace standin::launcher {

namespace {

bool isDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void createFolders(const std::wstring& folder) {
    // Every prefix that ends before a separator, then the folder itself.
    size_t separator = folder.find_first_of(L"\\/");
    for (;; separator = folder.find_first_of(L"\\/", separator + 1)) {
        const std::wstring prefix = folder.substr(0, separator);
        if (!prefix.empty() && !isDirectory(prefix) && !CreateDirectoryW(prefix.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            throw LauncherError(win32Failure("cannot create " + utf16ToUtf8(prefix)));
        }
        if (separator == std::wstring::npos) break;
    }
}

void removeExisting(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    const BOOL removed =
        (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
    if (!removed) throw LauncherError(win32Failure("cannot remove " + utf16ToUtf8(path)));
}

std::wstring parentFolder(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

void writeNewFile(const std::wstring& path, const std::vector<BYTE>& bytes) {
    createFolders(parentFolder(path));
    com::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw LauncherError(win32Failure("cannot write " + utf16ToUtf8(path)));
    }
}

}  // namespace

void prepareExecutable(const std::wstring& path, OutlookExe kind) {
    removeExisting(path);
    switch (kind) {
    case OutlookExe::None: break;
    case OutlookExe::Directory: createFolders(path); break;
    case OutlookExe::File:
        // Not a runnable program: the Office versions' probe looks for the file only.
        writeNewFile(path, {'M', 'Z'});
        break;
    case OutlookExe::X64: writeNewFile(path, executableHeaders(IMAGE_FILE_MACHINE_AMD64)); break;
    case OutlookExe::X86: writeNewFile(path, executableHeaders(IMAGE_FILE_MACHINE_I386)); break;
    }
}

void prepareOutlookExe(const std::wstring& folder, OutlookExe kind) {
    std::wstring base = folder;
    while (base.size() > 3 && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
    prepareExecutable(base + L"\\Outlook.exe", kind);
}

}  // namespace standin::launcher
