#pragma once

#include "platform/com/WideString.h"

#include <cstddef>
#include <string>

// Conversions between Outlook's wide strings and the two narrow encodings of
// the system: UTF-8 for the status text the exporter passes on, the ANSI
// code page for everything exchanged with Outlook as narrow text and
// written as a JSON value. A conversion that the platform refuses raises the
// COM error with the system's error code; a text too long for the platform's
// conversion raises std::length_error, as memory running short raises
// std::bad_alloc.
namespace text {

std::string wideToUtf8(const wchar_t* units, std::size_t count);
// Up to the first NUL byte; a missing text gives a null wide string.
com::WideString ansiToWide(const char* ansi);
// Up to the first NUL unit; a null wide string gives no text.
std::string wideToAnsi(const com::WideString& wide);

}  // namespace text
