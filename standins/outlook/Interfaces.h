#pragma once

#include <windows.h>

#include <string_view>

#include "OutlookInterfaces.h"

namespace outlook {

// The stand-in's own class that unmarshals a MAPIOBJECT in a client process.
// {D7BE7192-FA4C-4669-9CD6-D180EA20E830}
constexpr CLSID CLSID_MapiPropertiesProxy = {
    0xD7BE7192, 0xFA4C, 0x4669, {0x9C, 0xD6, 0xD1, 0x80, 0xEA, 0x20, 0xE8, 0x30}};

// The interface of a non-contact item of the given class; classes without an
// interface of their own are served as posts.
constexpr const OutlookInterface& interfaceOfItemClass(std::string_view className) {
    if (className == "distlist") return DistListItemInterface;
    if (className == "note") return NoteItemInterface;
    if (className == "mail") return MailItemInterface;
    if (className == "appointment") return AppointmentItemInterface;
    if (className == "task") return TaskItemInterface;
    return PostItemInterface;
}

}  // namespace outlook
