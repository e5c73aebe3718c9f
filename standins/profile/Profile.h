#pragma once

#include "BusyWindow.h"

#include <windows.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace standin::profile {

// Outlook text; no value stands for a null BSTR.
using Text = std::optional<std::wstring>;
using Bytes = std::vector<unsigned char>;

// How IMAPIProp::GetProps returns one of a contact's e-mail members.
struct MapiRepresentation {
    enum class Type { Unicode, String8, Error };
    Type type = Type::Unicode;
    std::optional<Bytes> rawBytes;  // PT_STRING8 bytes given exactly, no terminator
};

struct AttachmentContent {
    Bytes bytes;
    Text fileName = std::wstring(L"ContactPicture.jpg");  // Attachment.FileName
    bool holdOpen = false;                                // SaveAsFile keeps the saved file open, readable by no one
};

struct Contact {
    std::map<std::string, Text> texts;  // keyed by Outlook property name; absent = null
    bool hasPicture = false;
    std::vector<AttachmentContent> attachments;
    std::map<std::string, MapiRepresentation> mapi;  // keyed by e-mail member name
    std::optional<ULONG> mapiValueCount;             // GetProps returns only this many values
    std::optional<std::wstring> entryId;             // _ContactItem.EntryID as given; else the position's own
    SYSTEMTIME lastModificationTime{2026, 1, 5, 2, 3, 4, 5, 0};  // local time, as Outlook gives it
    // Per e-mail address (1 to 3): the profile says it has no original
    // entry id, whatever its type.
    std::array<bool, 3> withoutOriginalEntryId{};
};

struct Item {
    std::string className;  // "contact" or another Outlook item class
    LONG objectClass = 0;   // Outlook's OlObjectClass number, which Class answers
    Contact contact;

    bool isContact() const { return className == "contact"; }
};

struct AddressBookEntry {
    std::wstring address;
    bool resolves = true;
    Text entryAddress;
    Text smtp;
    std::optional<HRESULT> smtpFailure;
};

// Outlook's security prompt for the members that its documentation lists
// as guarded, as the profile's "guard" plays it.
enum class Guard { trusted, denied, unanswered };

struct Fault {
    std::string operation;
    int call = 1;
    HRESULT hresult = S_OK;
    bool yieldsNull = false;  // succeed without an object (or text)
    Text description;
    bool viaExcepInfo = false;  // IDispatch::Invoke reports DISP_E_EXCEPTION
};

// What a contact's MAPIOBJECT gives a client: an object that answers
// IMAPIProp, or one whose query for IMAPIProp fails, as Outlook's MAPI
// objects do in another process than Outlook's.
enum class MapiObjectKind { imapiProp, unmarshallable };

struct Profile {
    Text version;
    std::vector<Item> items;
    // The folder holds `items` this many times over, in order: a large
    // folder without a large profile (or a large stand-in) behind it.
    size_t itemsRepeat = 1;
    std::vector<AddressBookEntry> addressBook;
    std::vector<Fault> faults;
    std::vector<BusyWindow> busy;
    MapiObjectKind mapiObject = MapiObjectKind::imapiProp;
    std::optional<long long> goesAwayAfter;  // operations after which Outlook goes away
    Text profileName = std::wstring(L"Outlook");
    std::wstring storeId;  // MAPIFolder.StoreID: hexadecimal, two digits a byte
    Guard guard = Guard::trusted;

    size_t itemCount() const { return items.size() * itemsRepeat; }
    const Item& item(size_t index) const { return items[index % items.size()]; }

    // The EntryID text of the item at `position` (0-based, in the whole folder).
    std::wstring entryIdOf(size_t position) const;
    // The position of the contact whose EntryID is these bytes, if any.
    std::optional<size_t> contactWithEntryId(const Bytes& entryId) const;

    // The fault planned for the given call (1-based) of an operation, or null.
    const Fault* faultFor(const std::string& operation, int call) const;

    // EntryIDs that items give themselves, as bytes, each with the first
    // position that carries it.
    std::map<Bytes, size_t> givenEntryIds;
};

// Reads the profile named by OUTLOOK_STANDIN_PROFILE. Throws
// ProfileError with a message fit for the journal.
Profile loadProfile();

}  // namespace standin::profile
