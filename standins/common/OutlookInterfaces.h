#pragma once

// The interfaces of Outlook's object model that the stand-ins serve beyond
// the exporter's own: those of the other items a contacts folder can hold,
// by the class a profile gives them, and the list of every interface, which
// the local server's message filter and the type library the launcher
// registers go by.

#include "outlook/OutlookDefinitions.h"

#include <array>
#include <string_view>

namespace standin {

struct ItemClass {
    std::string_view name;  // the profile's "class"
    ::outlook::OutlookInterface itemInterface;
};

// Posts first: an item of a class not listed is served as one.
constexpr ItemClass otherItemClasses[] = {
    {"post", {"_PostItem", ::outlook::outlookGuid(0x00063024)}},
    {"distlist", {"_DistListItem", ::outlook::outlookGuid(0x00063081)}},
    {"note", {"_NoteItem", ::outlook::outlookGuid(0x00063025)}},
    {"mail", {"_MailItem", ::outlook::outlookGuid(0x00063034)}},
    {"appointment", {"_AppointmentItem", ::outlook::outlookGuid(0x00063033)}},
    {"task", {"_TaskItem", ::outlook::outlookGuid(0x00063035)}},
};

// The interface of a non-contact item of the given class.
constexpr const ::outlook::OutlookInterface& interfaceOfItemClass(std::string_view className) {
    for (const ItemClass& itemClass : otherItemClasses) {
        if (itemClass.name == className) return itemClass.itemInterface;
    }
    return otherItemClasses[0].itemInterface;
}

// The interfaces the exporter calls through.
constexpr const ::outlook::OutlookInterface* exporterInterfaces[] = {
    &::outlook::ApplicationInterface,  &::outlook::NameSpaceInterface,
    &::outlook::FolderInterface,       &::outlook::ItemsInterface,
    &::outlook::ContactItemInterface,  &::outlook::AttachmentsInterface,
    &::outlook::AttachmentInterface,   &::outlook::RecipientInterface,
    &::outlook::AddressEntryInterface, &::outlook::PropertyAccessorInterface,
};

constexpr std::array<const ::outlook::OutlookInterface*, std::size(exporterInterfaces) + std::size(otherItemClasses)>
    outlookInterfaces = [] {
        std::array<const ::outlook::OutlookInterface*, std::size(exporterInterfaces) + std::size(otherItemClasses)>
            all{};
        std::size_t at = 0;
        for (const ::outlook::OutlookInterface* known : exporterInterfaces) all[at++] = known;
        for (const ItemClass& itemClass : otherItemClasses) all[at++] = &itemClass.itemInterface;
        return all;
    }();

}  // namespace standin
