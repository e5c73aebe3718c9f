#pragma once

#include "platform/com/WideString.h"

#include <string>
#include <string_view>

namespace text {

using com::WideString;

// The body of a JSON string for `value`: its narrow form in the ANSI code
// page with a reverse solidus before each quotation mark, reverse solidus
// and solidus, and control characters escaped. On a double-byte code page a
// lead byte and its trail byte are one character and are copied unescaped,
// so a trail byte that happens to be 0x5C stays part of its character.
std::string escapeForJson(const WideString& value);

// The same walk over narrow text that is already in the ANSI code page.
void appendEscapedForJson(std::string& out, std::string_view ansi);

}  // namespace text
