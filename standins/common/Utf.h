#pragma once

#include <string>
#include <string_view>

namespace standin {

// Strict conversions: invalid input throws std::runtime_error.
std::wstring utf8ToUtf16(std::string_view text);

// Lenient conversion for diagnostics: lone surrogates become U+FFFD.
std::string utf16ToUtf8(std::wstring_view text);

}  // namespace standin
