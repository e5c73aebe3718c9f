#pragma once

#include <windows.h>

#include "CallAdmission.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace outlook {

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
};

struct Item {
    std::string className;  // "contact" or another Outlook item class
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

    size_t itemCount() const { return items.size() * itemsRepeat; }
    const Item& item(size_t index) const { return items[index % items.size()]; }
};

// Reads the profile named by OUTLOOK_STANDIN_PROFILE. Throws
// standin::ProfileError with a message fit for the journal.
Profile loadProfile();

}  // namespace outlook
