#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace standin::launcher {

// The launcher's own environment with the given variables set (or, with no
// value, removed), as a CREATE_UNICODE_ENVIRONMENT block sorted by name.
// Names compare without regard to case, as Windows compares them.
std::vector<wchar_t> buildChildEnvironment(
    const std::vector<std::pair<std::wstring, std::optional<std::wstring>>>& changes);

}  // namespace standin::launcher
