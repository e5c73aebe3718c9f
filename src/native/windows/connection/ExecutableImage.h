#pragma once

#include <string>

// Whether the file at `path` is a PE executable built for the machine this
// process runs as (AMD64 for the x64 exporter, I386 for the x86 one), as its
// headers say. A directory, a file that cannot be read and any other file
// are not.
bool isExecutableForThisMachine(const std::wstring& path);
