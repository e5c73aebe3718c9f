#pragma once

#include <string>
#include <vector>

namespace launcher {

// Runs the program with the arguments and the environment block, sharing the
// launcher's standard handles, and returns its exit code once it has ended.
unsigned long runProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         std::vector<wchar_t> environment);

}  // namespace launcher
