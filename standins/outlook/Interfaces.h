#pragma once

#include <windows.h>

#include <string_view>

namespace outlook {

// An Outlook object model interface: its name as Outlook's type library
// gives it, and its IID.
struct OutlookInterface {
    const char* name;
    IID iid;
};

// Outlook's IIDs all read {000630xx-0000-0000-C000-000000000046}.
constexpr IID outlookIid(unsigned long data1) {
    return {data1, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}

// {0006F03A-0000-0000-C000-000000000046}
constexpr CLSID CLSID_OutlookApplication = outlookIid(0x0006F03A);

// The stand-in's own class that unmarshals a MAPIOBJECT in a client process.
// {D7BE7192-FA4C-4669-9CD6-D180EA20E830}
constexpr CLSID CLSID_MapiPropertiesProxy = {
    0xD7BE7192, 0xFA4C, 0x4669, {0x9C, 0xD6, 0xD1, 0x80, 0xEA, 0x20, 0xE8, 0x30}};

constexpr OutlookInterface ApplicationInterface{"_Application", outlookIid(0x00063001)};
constexpr OutlookInterface NameSpaceInterface{"_NameSpace", outlookIid(0x00063002)};
constexpr OutlookInterface FolderInterface{"MAPIFolder", outlookIid(0x00063006)};
constexpr OutlookInterface ItemsInterface{"_Items", outlookIid(0x00063041)};
constexpr OutlookInterface ContactItemInterface{"_ContactItem", outlookIid(0x00063021)};
constexpr OutlookInterface AttachmentsInterface{"Attachments", outlookIid(0x0006303C)};
constexpr OutlookInterface AttachmentInterface{"Attachment", outlookIid(0x00063007)};
constexpr OutlookInterface RecipientInterface{"Recipient", outlookIid(0x00063045)};
constexpr OutlookInterface AddressEntryInterface{"AddressEntry", outlookIid(0x0006304B)};
constexpr OutlookInterface PropertyAccessorInterface{"PropertyAccessor", outlookIid(0x0006302D)};

// Items of other classes that a contacts folder can hold.
constexpr OutlookInterface DistListItemInterface{"_DistListItem", outlookIid(0x00063081)};
constexpr OutlookInterface PostItemInterface{"_PostItem", outlookIid(0x00063024)};
constexpr OutlookInterface NoteItemInterface{"_NoteItem", outlookIid(0x00063025)};
constexpr OutlookInterface MailItemInterface{"_MailItem", outlookIid(0x00063034)};
constexpr OutlookInterface AppointmentItemInterface{"_AppointmentItem", outlookIid(0x00063033)};
constexpr OutlookInterface TaskItemInterface{"_TaskItem", outlookIid(0x00063035)};

// Every interface above, for the type library that lets COM marshal them.
constexpr const OutlookInterface* outlookInterfaces[] = {
    &ApplicationInterface,  &NameSpaceInterface,        &FolderInterface,          &ItemsInterface,
    &ContactItemInterface,  &AttachmentsInterface,      &AttachmentInterface,      &RecipientInterface,
    &AddressEntryInterface, &PropertyAccessorInterface, &DistListItemInterface,    &PostItemInterface,
    &NoteItemInterface,     &MailItemInterface,         &AppointmentItemInterface, &TaskItemInterface,
};

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
