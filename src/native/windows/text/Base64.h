#pragma once

#include <cstddef>
#include <string>

namespace text {

// Standard Base64 with padding, in one line.
std::string base64Encode(const unsigned char* bytes, std::size_t length);

// The Base64 text of the whole content of the file that `path` names. A file
// that cannot be opened, or a read that fails, raises the COM error with the
// system's error code: part of a file is never passed off as the whole.
std::string readFileAsBase64(const wchar_t* path);

}  // namespace text
