#include "ChildEnvironment.h"

#include "LauncherError.h"

#include <windows.h>

#include <algorithm>
#include <map>

namespace standin::launcher {

namespace {

std::wstring upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Every entry, keyed by its upper-case name. Entries such as "=C:=C:\dir"
// have a name that starts with '='.
std::map<std::wstring, std::wstring> currentEnvironment() {
    std::map<std::wstring, std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    if (block == nullptr) throw LauncherError(win32Failure("GetEnvironmentStringsW"));
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        const size_t separator = text.find(L'=', 1);
        const std::wstring name = separator == std::wstring::npos ? text : text.substr(0, separator);
        entries.emplace(upper(name), text);
    }
    FreeEnvironmentStringsW(block);
    return entries;
}

}  // namespace

std::vector<wchar_t> buildChildEnvironment(
    const std::vector<std::pair<std::wstring, std::optional<std::wstring>>>& changes) {
    std::map<std::wstring, std::wstring> entries = currentEnvironment();
    for (const auto& [name, value] : changes) {
        if (value) {
            entries[upper(name)] = name + L"=" + *value;
        } else {
            entries.erase(upper(name));
        }
    }
    std::vector<wchar_t> block;
    for (const auto& entry : entries) {
        block.insert(block.end(), entry.second.begin(), entry.second.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    if (block.size() == 1) block.push_back(L'\0');  // an empty block still ends with two NULs
    return block;
}

}  // namespace standin::launcher
