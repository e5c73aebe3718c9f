#pragma once

#include "platform/com/WideString.h"

#include <string>
#include <string_view>

namespace text {

// How the records' texts are written: in the system's ANSI code page, as the
// exporter has always written them, or on request in UTF-8, which holds
// every text whole.
enum class RecordEncoding { ansi, utf8 };

// The body of a JSON string for `value`, up to its first NUL: its narrow
// form in `encoding` with a reverse solidus before each quotation mark,
// reverse solidus and solidus, and control characters escaped.
// - ANSI: on a double-byte code page a lead byte and its trail byte are one
//   character and are copied unescaped, so a trail byte that happens to be
//   0x5C stays part of its character. A character the code page cannot hold
//   becomes its best fit or the code page's default character.
// - UTF-8: a surrogate without its other half, which UTF-8 cannot hold, is
//   written as its escape (\ud800), so that nothing is lost and the output
//   stays valid UTF-8.
std::string escapeForJson(const com::WideString& value, RecordEncoding encoding = RecordEncoding::ansi);

// Whether two texts are written alike in `encoding`, each up to its first
// NUL: in the ANSI code page, two texts may become the same bytes.
bool writtenAlike(const com::WideString& first, const com::WideString& second, RecordEncoding encoding);

// The same walk over narrow text that is already in the ANSI code page.
void appendEscapedForJson(std::string& out, std::string_view ansi);

}  // namespace text
