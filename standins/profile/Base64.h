#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace standin::profile {

// Decodes standard base64 (padding optional, whitespace ignored); no value
// for malformed input.
std::optional<std::vector<unsigned char>> decodeBase64(std::string_view text);

}  // namespace standin::profile
