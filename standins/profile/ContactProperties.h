#pragma once

#include "outlook/OutlookDefinitions.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <string_view>

namespace standin::profile {

// The _ContactItem text properties the stand-in serves, named as Outlook names them.
constexpr std::string_view contactTextProperties[] = {
#define OUTLOOK_CONTACT_TEXT_NAME(name) #name,
    OUTLOOK_CONTACT_TEXT_PROPERTIES(OUTLOOK_CONTACT_TEXT_NAME)
#undef OUTLOOK_CONTACT_TEXT_NAME
};

// The e-mail members as named properties, with the property ids this store
// maps them to (0x8A01 on, in their order).
struct StoredEmailProperty {
    std::string_view member;
    LONG longId;
    ULONG propertyId;
};

constexpr std::array<StoredEmailProperty, std::size(::outlook::emailNamedProperties)> storedEmailProperties = [] {
    std::array<StoredEmailProperty, std::size(::outlook::emailNamedProperties)> stored{};
    for (size_t at = 0; at < stored.size(); ++at) {
        stored[at] = {::outlook::emailNamedProperties[at].member, ::outlook::emailNamedProperties[at].longId,
                      static_cast<ULONG>(0x8A01 + at)};
    }
    return stored;
}();

constexpr bool isEmailMember(std::string_view member) {
    for (const auto& property : storedEmailProperties) {
        if (property.member == member) return true;
    }
    return false;
}

}  // namespace standin::profile
