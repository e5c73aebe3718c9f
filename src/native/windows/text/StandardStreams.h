#pragma once

#include <cstdint>
#include <string_view>

// The exporter's two output streams. Standard output is written as text mode
// writes it, so a line end goes out as CR LF; it is flushed at every line end
// and otherwise when the process ends. Standard error is unbuffered and
// flushes standard output before each write, so the two stay in order for a
// reader of both.
namespace text {

void writeOut(std::string_view narrow);
void writeOut(std::int64_t number);
void endLine();
void writeError(std::string_view narrow);

}  // namespace text
