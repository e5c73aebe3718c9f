#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <utility>

namespace com {

// Owns one handle of a kind and closes it once, in the manner of WIL's
// unique_any. `Close` closes a handle of the kind: CloseWith<function> for a
// platform function, or a type that carries what closing needs (the MAPI
// runtime's MAPIFreeBuffer, say). `invalidValue` is the value the kind uses
// for "no handle": 0 (null) for most, -1 for INVALID_HANDLE_VALUE, which the
// file functions return.
template <typename Handle, typename Close, std::intptr_t invalidValue = 0>
class UniqueHandle : private Close {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle, Close close = Close()) noexcept : Close(close), held(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : Close(other.closer()), held(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
            closer() = other.closer();
        }
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
        if (closing != invalid()) closer()(closing);
    }
    // Gives up ownership without closing.
    Handle release() noexcept { return std::exchange(held, invalid()); }
    // For out-parameters: closes the handle held and hands out the slot.
    Handle* put() noexcept {
        reset();
        return &held;
    }

private:
    Close& closer() noexcept { return *this; }

    Handle held = invalid();
};

// Closes a handle with a platform function, such as CloseHandle.
template <auto function>
struct CloseWith {
    template <typename Handle>
    void operator()(Handle handle) const noexcept {
        function(handle);
    }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, CloseWith<CloseHandle>>;
using UniqueFile = UniqueHandle<HANDLE, CloseWith<CloseHandle>, -1>;
using UniqueModule = UniqueHandle<HMODULE, CloseWith<FreeLibrary>>;
using UniqueRegistryKey = UniqueHandle<HKEY, CloseWith<RegCloseKey>>;
// A BSTR that a call handed out, freed once.
using UniqueBstr = UniqueHandle<BSTR, CloseWith<SysFreeString>>;

}  // namespace com
