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
    ~Buffer() { reset(); }

    Content* get() const noexcept { return content; }
    // For out-parameters: releases the buffer held and hands out the slot.
    Content** receive() noexcept {
        reset();
        return &content;
    }

    void reset() noexcept {
        if (content != nullptr) release(std::exchange(content, nullptr));
    }

private:
    MAPIFREEBUFFER release;
    Content* content = nullptr;
};

}  // namespace mapi
