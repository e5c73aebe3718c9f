#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace com {

// A VARIANT that clears itself.
class Variant {
public:
    Variant() noexcept { VariantInit(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : value(other.value) { VariantInit(&other.value); }
    Variant& operator=(Variant&& other) noexcept {
        std::swap(value, other.value);
        return *this;
    }
    ~Variant() { VariantClear(&value); }

    // For out-parameters: clears the value held and hands out the slot.
    VARIANT* put() noexcept {
        VariantClear(&value);
        return &value;
    }
    VARIANT* get() noexcept { return &value; }
    const VARIANT& operator*() const noexcept { return value; }
    VARIANT& operator*() noexcept { return value; }
    const VARIANT* operator->() const noexcept { return &value; }
    VARIANT* operator->() noexcept { return &value; }

private:
    VARIANT value;
};

}  // namespace com
