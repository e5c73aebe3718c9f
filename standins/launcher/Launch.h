#pragma once

#include "PeakMemory.h"

#include <optional>
#include <string>
#include <vector>

namespace standin::launcher {

struct RunOptions {
    // When set, the run lasts until the processes of this file name that the
    // program started (a local COM server that COM started for it) have
    // ended too, for at most a minute more. Other processes it started, such
    // as the desktop process Wine starts with a program's first window, are
    // not waited for.
    std::wstring alsoWaitFor;
    // Where the program's peak memory goes, if anywhere.
    PeakMemory* peakMemory = nullptr;
};

// Runs the program with the arguments and the environment block, sharing the
// launcher's standard handles, and returns its exit code once it has ended.
unsigned long runProgram(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         std::vector<wchar_t> environment, const RunOptions& options = {});

}  // namespace standin::launcher
