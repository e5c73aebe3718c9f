#pragma once

#include <windows.h>

namespace standin::mapiprops {

// Allocates with MAPIAllocateBuffer of the mapi32.dll loaded in this process,
// as a MAPI provider must, so that the caller frees with MAPIFreeBuffer. Null
// when no mapi32.dll is loaded or the allocation fails.
void* allocateMapiBuffer(size_t size);

}  // namespace standin::mapiprops
