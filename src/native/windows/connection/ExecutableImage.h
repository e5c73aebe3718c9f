#pragma once

#include <string>

namespace connection {

// What the file at `path` is, as its PE headers say: an executable built
// for the machine this process runs as (AMD64 for the x64 exporter, I386
// for the x86 one), an executable for another machine, or anything else (a
// directory, a file that cannot be read, a file that is not an executable).
enum class ExecutableKind { thisMachine, otherMachine, notAnExecutable };

ExecutableKind executableKind(const std::wstring& path);

}  // namespace connection
