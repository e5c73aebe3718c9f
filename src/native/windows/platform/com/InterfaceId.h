#pragma once

#include <windows.h>

#include <type_traits>

namespace com {

// The IID of a COM interface type. The SDK's interfaces carry theirs, which
// __uuidof reads on MSVC and MinGW-w64 alike; an interface that the project
// declares itself names its IID as the static member `interfaceId`.
template <typename Interface, typename = void>
struct InterfaceId {
    static const IID& value() noexcept { return __uuidof(Interface); }
};

template <typename Interface>
struct InterfaceId<Interface, std::void_t<decltype(Interface::interfaceId)>> {
    static const IID& value() noexcept { return Interface::interfaceId; }
};

}  // namespace com
