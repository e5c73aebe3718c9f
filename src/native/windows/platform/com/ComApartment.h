#pragma once

#include <objbase.h>

namespace com {

// The calling thread in a single-threaded COM apartment for as long as this
// lives. An apartment that could not be entered is not left either.
class ComApartment {
public:
    ComApartment() noexcept : entered(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (entered) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered;
};

}  // namespace com
