#pragma once

// The interfaces of Outlook's object model that the stand-ins serve beyond
// the exporter's own: the classes of the other items a contacts folder can
// hold, and the list of every interface, which the local server's message
// filter and the type library the launcher registers go by.

#include "outlook/OutlookDefinitions.h"

namespace outlook {

// Items of other classes that a contacts folder can hold.
constexpr OutlookInterface DistListItemInterface{"_DistListItem", outlookGuid(0x00063081)};
constexpr OutlookInterface PostItemInterface{"_PostItem", outlookGuid(0x00063024)};
constexpr OutlookInterface NoteItemInterface{"_NoteItem", outlookGuid(0x00063025)};
constexpr OutlookInterface MailItemInterface{"_MailItem", outlookGuid(0x00063034)};
constexpr OutlookInterface AppointmentItemInterface{"_AppointmentItem", outlookGuid(0x00063033)};
constexpr OutlookInterface TaskItemInterface{"_TaskItem", outlookGuid(0x00063035)};

constexpr const OutlookInterface* outlookInterfaces[] = {
    &ApplicationInterface,  &NameSpaceInterface,        &FolderInterface,          &ItemsInterface,
    &ContactItemInterface,  &AttachmentsInterface,      &AttachmentInterface,      &RecipientInterface,
    &AddressEntryInterface, &PropertyAccessorInterface, &DistListItemInterface,    &PostItemInterface,
    &NoteItemInterface,     &MailItemInterface,         &AppointmentItemInterface, &TaskItemInterface,
};

}  // namespace outlook
