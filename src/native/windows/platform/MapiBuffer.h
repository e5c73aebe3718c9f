#pragma once

#include "platform/MapiDefinitions.h"

#include <utility>

namespace mapi {

// A buffer that MAPI allocated, released once with MAPIFreeBuffer.
template <typename Content>
class Buffer {
public:
    explicit Buffer(MAPIFREEBUFFER freeBuffer) noexcept : release(freeBuffer) {}
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    ~Buffer() {
        if (content != nullptr) release(content);
    }

    Content* get() const noexcept { return content; }
    Content** receive() noexcept { return &content; }

private:
    MAPIFREEBUFFER release;
    Content* content = nullptr;
};

}  // namespace mapi
