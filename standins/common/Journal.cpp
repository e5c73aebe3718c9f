#include "Journal.h"

#include "Environment.h"
#include "com/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace standin {

void journal(std::string_view line) {
    const std::optional<std::wstring> path = environmentVariable(L"OUTLOOK_STANDIN_JOURNAL");
    if (!path || path->empty()) return;
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end.
    com::UniqueFile file(CreateFileW(path->c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    std::string record(line);
    record.push_back('\n');
    DWORD written = 0;
    WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
}

}  // namespace standin
