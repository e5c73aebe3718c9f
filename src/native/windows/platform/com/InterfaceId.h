#pragma once

#include <windows.h>

namespace com {

// The IID of a COM interface type. The SDK's interfaces carry theirs, which
// __uuidof reads on MSVC and MinGW-w64 alike; an interface that the project
// declares itself specialises this template with its IID beside the
// declaration.
template <typename Interface>
struct InterfaceId {
    static const IID& value() noexcept { return __uuidof(Interface); }
};

}  // namespace com
