#pragma once

#include "../com/UniqueHandle.h"
#include "MapiDefinitions.h"

namespace mapi {

// Releases a MAPI buffer with the MAPIFreeBuffer of the runtime that made it.
struct FreeBuffer {
    MAPIFREEBUFFER freeBuffer = nullptr;
    void operator()(void* buffer) const noexcept { freeBuffer(buffer); }
};

// A buffer that MAPI allocated, released once.
template <typename Content>
using Buffer = com::UniqueHandle<Content*, FreeBuffer>;

}  // namespace mapi
