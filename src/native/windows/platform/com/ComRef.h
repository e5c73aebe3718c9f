#pragma once

#include "ComError.h"

#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <type_traits>
#include <utility>

namespace com {

namespace detail {
// Raises the COM error for a call through an empty reference (E_POINTER).
[[noreturn]] inline void throwNullReference() { throw ComError(E_POINTER); }
}  // namespace detail

// Holds one counted reference to a COM interface. Storing a pointer adds a
// reference to it and releases the one held before; null is allowed, and a
// call through a null reference raises the COM error with E_POINTER.
template <typename Interface>
class ComRef {
public:
    ComRef() noexcept = default;
    ComRef(std::nullptr_t) noexcept {}
    explicit ComRef(Interface* pointer) noexcept : held(pointer) { addRef(); }
    ComRef(const ComRef& other) noexcept : held(other.held) { addRef(); }
    ComRef(ComRef&& other) noexcept : held(std::exchange(other.held, nullptr)) {}
    // Takes over the reference of one to a type that converts implicitly,
    // such as an object's class to one of its interfaces.
    template <typename Other, typename = std::enable_if_t<std::is_convertible_v<Other*, Interface*>>>
    ComRef(ComRef<Other>&& other) noexcept : held(other.detach()) {}
    ~ComRef() { release(); }

    ComRef& operator=(const ComRef& other) noexcept {
        ComRef(other).swap(*this);
        return *this;
    }
    ComRef& operator=(ComRef&& other) noexcept {
        ComRef(std::move(other)).swap(*this);
        return *this;
    }

    // Takes over a reference that the caller already owns.
    static ComRef adopt(Interface* pointer) noexcept {
        ComRef ref;
        ref.held = pointer;
        return ref;
    }

    // Gives up the reference held, for a caller that takes it over.
    Interface* detach() noexcept { return std::exchange(held, nullptr); }

    void reset() noexcept { ComRef().swap(*this); }
    void swap(ComRef& other) noexcept { std::swap(held, other.held); }

    Interface* get() const noexcept { return held; }
    explicit operator bool() const noexcept { return held != nullptr; }

    Interface* operator->() const {
        if (held == nullptr) detail::throwNullReference();
        return held;
    }

    // For out-parameters: drops the reference held and hands out the slot.
    Interface** put() noexcept {
        reset();
        return &held;
    }

    // Asks for another interface of the same object; null when the object
    // is null or does not offer it. The query's result is returned too.
    template <typename Other>
    HRESULT query(const IID& iid, ComRef<Other>& result) const noexcept {
        result.reset();
        if (held == nullptr) return E_POINTER;
        return held->QueryInterface(iid, reinterpret_cast<void**>(result.put()));
    }

private:
    void addRef() noexcept {
        if (held != nullptr) held->AddRef();
    }
    void release() noexcept {
        if (held != nullptr) std::exchange(held, nullptr)->Release();
    }

    Interface* held = nullptr;
};

}  // namespace com
