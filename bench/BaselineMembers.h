#pragma once

// Every Outlook member the floor calls, each with its own DISPID, as the
// exporter keeps one per interface member.

#include "BaselineDispatch.h"
#include "outlook/OutlookDefinitions.h"

namespace baseline {

struct Members {
    Member getNamespace{L"GetNamespace"}, version{L"Version"};
    Member getDefaultFolder{L"GetDefaultFolder"}, createRecipient{L"CreateRecipient"};
    Member currentProfileName{L"CurrentProfileName"};
    Member items{L"Items"}, storeId{L"StoreID"};
    Member itemsCount{L"Count"}, itemsItem{L"Item"};
    Member hasPicture{L"HasPicture"}, attachments{L"Attachments"}, mapiObject{L"MAPIOBJECT"};
    Member entryId{L"EntryID"}, lastModificationTime{L"LastModificationTime"};
    Member attachmentsCount{L"Count"}, attachmentsItem{L"Item"}, fileName{L"FileName"}, saveAsFile{L"SaveAsFile"};
    Member resolve{L"Resolve"}, addressEntry{L"AddressEntry"};
    Member address{L"Address"}, propertyAccessor{L"PropertyAccessor"}, getProperty{L"GetProperty"};
    // The contact's text properties in Outlook's order: the three names,
    // ten telephone numbers, then each e-mail address before its type.
#define BASELINE_WIDE(text) L##text
#define BASELINE_TEXT_MEMBER(name) {BASELINE_WIDE(#name)},
    Member texts[19] = {OUTLOOK_CONTACT_TEXT_PROPERTIES(BASELINE_TEXT_MEMBER)};
#undef BASELINE_TEXT_MEMBER
#undef BASELINE_WIDE
    Member& fullName = texts[0];
    Member& firstName = texts[1];
    Member& lastName = texts[2];
    Member* phones = texts + 3;
    Member* emails = texts + 13;
};

}  // namespace baseline
