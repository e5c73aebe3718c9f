#pragma once

// What the exporter relies on of Outlook's object model: its class, its
// interfaces' names and IIDs, the contact properties read as text, and the
// e-mail members as MAPI named properties. Stated once, for the exporter,
// the stand-ins that play Outlook and the benchmark's floor client.

#include <windows.h>

namespace outlook {

// Outlook's CLSID and IIDs all read {000630xx-0000-0000-C000-000000000046}.
constexpr GUID outlookGuid(unsigned long data1) {
    return {data1, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}

// {0006F03A-0000-0000-C000-000000000046}
constexpr CLSID CLSID_OutlookApplication = outlookGuid(0x0006F03A);

// An interface of the object model: its name as Outlook's type library
// gives it, and its IID.
struct OutlookInterface {
    const char* name;
    IID iid;
};

constexpr OutlookInterface ApplicationInterface{"_Application", outlookGuid(0x00063001)};
constexpr OutlookInterface NameSpaceInterface{"_NameSpace", outlookGuid(0x00063002)};
constexpr OutlookInterface FolderInterface{"MAPIFolder", outlookGuid(0x00063006)};
constexpr OutlookInterface ItemsInterface{"_Items", outlookGuid(0x00063041)};
constexpr OutlookInterface ContactItemInterface{"_ContactItem", outlookGuid(0x00063021)};
constexpr OutlookInterface AttachmentsInterface{"Attachments", outlookGuid(0x0006303C)};
constexpr OutlookInterface AttachmentInterface{"Attachment", outlookGuid(0x00063007)};
constexpr OutlookInterface RecipientInterface{"Recipient", outlookGuid(0x00063045)};
constexpr OutlookInterface AddressEntryInterface{"AddressEntry", outlookGuid(0x0006304B)};
constexpr OutlookInterface PropertyAccessorInterface{"PropertyAccessor", outlookGuid(0x0006302D)};

// The _ContactItem properties read as text, as Outlook names them:
// PROPERTY(name) for each, in this order.
#define OUTLOOK_CONTACT_TEXT_PROPERTIES(PROPERTY) \
    PROPERTY(FullName)                            \
    PROPERTY(FirstName)                           \
    PROPERTY(LastName)                            \
    PROPERTY(BusinessTelephoneNumber)             \
    PROPERTY(Business2TelephoneNumber)            \
    PROPERTY(BusinessFaxNumber)                   \
    PROPERTY(HomeTelephoneNumber)                 \
    PROPERTY(Home2TelephoneNumber)                \
    PROPERTY(HomeFaxNumber)                       \
    PROPERTY(CompanyMainTelephoneNumber)          \
    PROPERTY(OtherTelephoneNumber)                \
    PROPERTY(PrimaryTelephoneNumber)              \
    PROPERTY(MobileTelephoneNumber)               \
    PROPERTY(Email1Address)                       \
    PROPERTY(Email1AddressType)                   \
    PROPERTY(Email2Address)                       \
    PROPERTY(Email2AddressType)                   \
    PROPERTY(Email3Address)                       \
    PROPERTY(Email3AddressType)

// The contact's three e-mail addresses and their types as MAPI named
// properties (MNID_ID) of the property set PSETID_Address, each address
// before its type: the order in which the exporter asks for them.
struct EmailNamedProperty {
    const char* member;  // the _ContactItem property of the same value
    LONG longId;
};

constexpr EmailNamedProperty emailNamedProperties[] = {
    {"Email1Address", 0x8083},     {"Email1AddressType", 0x8082}, {"Email2Address", 0x8093},
    {"Email2AddressType", 0x8092}, {"Email3Address", 0x80A3},     {"Email3AddressType", 0x80A2},
};

// The address book entry ids that an Exchange address was taken from
// (PidLidEmail1OriginalEntryId and the same for 2 and 3, PT_BINARY, in the
// same property set), in the order of the addresses. The object model has
// no member for them.
constexpr EmailNamedProperty emailOriginalEntryIdProperties[] = {
    {"Email1OriginalEntryId", 0x8085},
    {"Email2OriginalEntryId", 0x8095},
    {"Email3OriginalEntryId", 0x80A5},
};

}  // namespace outlook
