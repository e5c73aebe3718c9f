#pragma once

#include <string_view>

namespace standin {

// Appends one line (LF-terminated) to the file named by OUTLOOK_STANDIN_JOURNAL,
// if that variable is set. Each line opens, appends and closes the file, so
// lines from several DLLs and processes interleave whole and in call order, and
// the call is safe while a DLL detaches.
void journal(std::string_view line);

}  // namespace standin
