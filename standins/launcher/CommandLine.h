#pragma once

#include <string>
#include <vector>

namespace standin::launcher {

// Quotes one argument so that the Microsoft C runtime's parser (and
// CommandLineToArgvW) reads it back exactly, empty arguments included.
std::wstring quoteArgument(const std::wstring& argument);

// The program path, quoted, followed by the quoted arguments.
std::wstring buildCommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments);

}  // namespace standin::launcher
