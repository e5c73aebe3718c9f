#pragma once

#include <optional>
#include <string>

namespace standin {

// The value of an environment variable of this process; none when it is not
// set.
std::optional<std::wstring> environmentVariable(const wchar_t* name);

}  // namespace standin
