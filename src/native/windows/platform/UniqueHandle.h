#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace platform {

// Owns one handle of a kind and closes it once with `close`. `invalidValue`
// is the value the kind uses for "no handle": 0 (null) for most, -1 for
// INVALID_HANDLE_VALUE, which file functions return.
template <typename Handle, auto close, std::intptr_t invalidValue = 0>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : held(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : held(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    static Handle invalid() noexcept { return reinterpret_cast<Handle>(invalidValue); }

    Handle get() const noexcept { return held; }
    explicit operator bool() const noexcept { return held != invalid(); }

    // Closes the handle held, if any, and holds `handle` instead.
    void reset(Handle handle = invalid()) noexcept {
        const Handle closing = std::exchange(held, handle);
        if (closing != invalid()) close(closing);
    }
    // Gives up ownership without closing.
    Handle release() noexcept { return std::exchange(held, invalid()); }
    // For out-parameters: closes the handle held and hands out the slot.
    Handle* put() noexcept {
        reset();
        return &held;
    }

private:
    Handle held = invalid();
};

using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle>;
using UniqueFile = UniqueHandle<HANDLE, CloseHandle, -1>;
using UniqueModule = UniqueHandle<HMODULE, FreeLibrary>;
using UniqueRegistryKey = UniqueHandle<HKEY, RegCloseKey>;

}  // namespace platform
