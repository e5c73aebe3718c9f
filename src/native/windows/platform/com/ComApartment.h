#pragma once

#include "ScopeExit.h"

#include <objbase.h>

namespace com {

struct LeaveApartment {
    void operator()() const noexcept { CoUninitialize(); }
};

// The calling thread in a single-threaded COM apartment for as long as this
// lives.
using ComApartment = ScopeExit<LeaveApartment>;

// Enters the apartment. One that could not be entered is not left either.
inline ComApartment enterSingleThreadedApartment() noexcept {
    return SUCCEEDED(CoInitialize(nullptr)) ? ComApartment(LeaveApartment{}) : ComApartment();
}

}  // namespace com
