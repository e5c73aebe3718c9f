#include "Environment.h"

#include <windows.h>

namespace standin {

std::optional<std::wstring> environmentVariable(const wchar_t* name) {
    // The value can change between the two calls: the second reads what
    // fits and says how much that was.
    const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0) return std::nullopt;
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), length));
    return value;
}

}  // namespace standin
