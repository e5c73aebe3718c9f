#pragma once

#include <windows.h>

#include <array>
#include <string_view>

namespace outlook {

// The _ContactItem text properties the stand-in serves, named as Outlook names them.
constexpr std::array<std::string_view, 19> contactTextProperties = {
    "FullName",
    "FirstName",
    "LastName",
    "BusinessTelephoneNumber",
    "Business2TelephoneNumber",
    "BusinessFaxNumber",
    "HomeTelephoneNumber",
    "Home2TelephoneNumber",
    "HomeFaxNumber",
    "CompanyMainTelephoneNumber",
    "OtherTelephoneNumber",
    "PrimaryTelephoneNumber",
    "MobileTelephoneNumber",
    "Email1Address",
    "Email1AddressType",
    "Email2Address",
    "Email2AddressType",
    "Email3Address",
    "Email3AddressType",
};

// The e-mail members as named properties in PSETID_Address: Outlook's long
// ids, and the property ids this store maps them to.
struct EmailNamedProperty {
    std::string_view member;
    LONG longId;
    ULONG propertyId;
};

constexpr std::array<EmailNamedProperty, 6> emailNamedProperties = {{
    {"Email1Address", 0x8083, 0x8A01},
    {"Email1AddressType", 0x8082, 0x8A02},
    {"Email2Address", 0x8093, 0x8A03},
    {"Email2AddressType", 0x8092, 0x8A04},
    {"Email3Address", 0x80A3, 0x8A05},
    {"Email3AddressType", 0x80A2, 0x8A06},
}};

constexpr bool isEmailMember(std::string_view member) {
    for (const auto& property : emailNamedProperties) {
        if (property.member == member) {
            return true;
        }
    }
    return false;
}

}  // namespace outlook
