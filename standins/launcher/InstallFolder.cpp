#include "InstallFolder.h"

#include <windows.h>

#include "LauncherError.h"
#include "UniqueHandle.h"
#include "Utf.h"

namespace launcher {

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
            throw LauncherError(win32Failure("cannot create " + standin::utf16ToUtf8(prefix)));
        }
        if (separator == std::wstring::npos) {
            break;
        }
    }
}

void removeExisting(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    const BOOL removed =
        (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
    if (!removed) {
        throw LauncherError(win32Failure("cannot remove " + standin::utf16ToUtf8(path)));
    }
}

}  // namespace

void prepareOutlookExe(const std::wstring& folder, OfficeVersion::OutlookExe kind) {
    std::wstring base = folder;
    while (base.size() > 3 && (base.back() == L'\\' || base.back() == L'/')) {
        base.pop_back();
    }
    const std::wstring outlookExe = base + L"\\Outlook.exe";
    const DWORD attributes = GetFileAttributesW(outlookExe.c_str());
    const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    const bool isFile = attributes != INVALID_FILE_ATTRIBUTES && !isFolder;

    switch (kind) {
    case OfficeVersion::OutlookExe::None: removeExisting(outlookExe); break;
    case OfficeVersion::OutlookExe::Directory:
        if (isFile) {
            removeExisting(outlookExe);
        }
        createFolders(outlookExe);
        break;
    case OfficeVersion::OutlookExe::File: {
        if (isFile) {
            break;
        }
        if (isFolder) {
            removeExisting(outlookExe);
        }
        createFolders(base);
        standin::UniqueHandle file(
            CreateFileW(outlookExe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            throw LauncherError(win32Failure("cannot create " + standin::utf16ToUtf8(outlookExe)));
        }
        // Not a runnable program; the exporter only looks for the file.
        const char stub[] = "MZ";
        DWORD written = 0;
        WriteFile(file.get(), stub, 2, &written, nullptr);
        break;
    }
    }
}

}  // namespace launcher
