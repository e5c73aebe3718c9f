#pragma once

#include <windows.h>

#include <vector>

namespace standin::launcher {

// The headers of a PE executable for `machine` (IMAGE_FILE_MACHINE_AMD64 or
// IMAGE_FILE_MACHINE_I386), as OUTLOOK.EXE's begin: the DOS header, the NT
// signature, the file header and an empty optional header of the machine's
// kind. Nothing in it runs; it is what the exporter's probe of the
// installation reads to tell which machine an OUTLOOK.EXE is for.
std::vector<BYTE> executableHeaders(WORD machine);

}  // namespace standin::launcher
