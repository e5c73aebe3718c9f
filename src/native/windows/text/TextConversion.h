#pragma once

#include "text/WideString.h"

#include <oaidl.h>

#include <cstddef>
#include <string>

// Conversions between Outlook's wide strings and the two narrow encodings of
// the system: UTF-8 for the texts the exporter builds itself (the status and
// the picture path), the ANSI code page for everything exchanged with Outlook
// and written as a JSON value. A failure raises the COM error.
namespace text {

std::string wideToUtf8(const wchar_t* units, std::size_t count);
// Up to the first NUL byte.
WideString utf8ToWide(const std::string& utf8);
// Up to the first NUL byte; a missing text gives a null wide string.
WideString ansiToWide(const char* ansi);
WideString ansiToWide(const std::string& ansi);
// Up to the first NUL unit; a null wide string gives no text.
std::string wideToAnsi(const WideString& wide);
// A VT_BSTR is copied (up to its first NUL unit); anything else is changed to one.
WideString variantToWide(const VARIANT& value);

}  // namespace text
