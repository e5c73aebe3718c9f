#pragma once

#include "com/UniqueHandle.h"

#include <windows.h>

namespace standin::outlook {

// The process that started this one (SYNCHRONIZE access): for the local
// server, the client that asked COM for the class. No handle when it cannot
// be found.
com::UniqueKernelHandle openClientProcess();

// Answers calls (the apartment's messages) until the client process has
// ended, or the wait itself fails.
void serveUntilEnded(HANDLE client);

}  // namespace standin::outlook
