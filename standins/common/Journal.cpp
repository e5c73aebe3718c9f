#include "Journal.h"

#include <windows.h>

#include <string>

#include "com/UniqueHandle.h"

namespace standin {

namespace {

std::wstring journalPath() {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"OUTLOOK_STANDIN_JOURNAL", buffer, MAX_PATH);
    if (length == 0) {
        return {};
    }
    if (length < MAX_PATH) {
        return std::wstring(buffer, length);
    }
    std::wstring path(length, L'\0');
    length = GetEnvironmentVariableW(L"OUTLOOK_STANDIN_JOURNAL", path.data(), length);
    path.resize(length);
    return path;
}

}  // namespace

void journal(std::string_view line) {
    const std::wstring path = journalPath();
    if (path.empty()) {
        return;
    }
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end.
    com::UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return;
    }
    std::string record(line);
    record.push_back('\n');
    DWORD written = 0;
    WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
}

}  // namespace standin
