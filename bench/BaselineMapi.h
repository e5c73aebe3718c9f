#pragma once

// MAPI as the floor uses it: mapi32.dll's entry points, the e-mail named
// properties asked for, and a contact's addresses read from their values.

#include <windows.h>

#include <cwchar>

#include "mapi/MapiDefinitions.h"

namespace baseline {

// What a MAPI road made of a contact, as the exporter's roads answer: its
// addresses read; the contact not read, and so read through the object
// model; or the road closed for the rest of the run.
enum class Answer { written, contactNotRead, closed };

struct Mapi {
    HMODULE library = nullptr;
    mapi::MAPIUNINITIALIZE uninitialize = nullptr;  // set once MAPI is initialised
    mapi::MAPIFREEBUFFER freeBuffer = nullptr;
    mapi::MAPILOGONEX logon = nullptr;
};

// Loads mapi32.dll, fetches its entry points and initialises MAPI; false
// when any of it fails (the object model's road then, where the exporter
// would stop).
bool loadMapi(Mapi& loaded);

// The named properties of PSETID_Address the exporter asks for: the six of
// the addresses and their types and, for the session, the three original
// entry ids after them.
class AddressNames {
public:
    enum Which : ULONG { addressesAndTypes = 6, withOriginalEntryIds = 9 };
    explicit AddressNames(Which which);
    AddressNames(const AddressNames&) = delete;
    AddressNames& operator=(const AddressNames&) = delete;

    ULONG count() const { return count_; }
    mapi::MAPINAMEID** pointers() { return pointers_; }

private:
    GUID propertySet_ = mapi::PSETID_Address;
    ULONG count_;
    mapi::MAPINAMEID names_[withOriginalEntryIds];
    mapi::MAPINAMEID* pointers_[withOriginalEntryIds];
};

// One address of a contact as MAPI gave it. The bench's profiles give
// every text as PT_UNICODE.
struct MapiAddress {
    const wchar_t* text;
    bool isExchange;
    const mapi::SBinary* originalEntryId;  // null when there is none, or it was not asked for
};

// Calls `visit` for each address that is there, in order.
template <typename Visit>
void forEachAddress(const mapi::SPropValue* values, ULONG count, Visit&& visit) {
    const auto unicode = [](const mapi::SPropValue& value) {
        return mapi::propType(value.ulPropTag) == mapi::PT_UNICODE ? value.Value.lpszW : nullptr;
    };
    for (ULONG at = 0; at + 1 < count && at + 1 < AddressNames::addressesAndTypes; at += 2) {
        const wchar_t* address = unicode(values[at]);
        if (address == nullptr || address[0] == L'\0') continue;
        const wchar_t* type = unicode(values[at + 1]);
        const ULONG originalAt = AddressNames::addressesAndTypes + at / 2;
        const mapi::SBinary* original = nullptr;
        if (originalAt < count && mapi::propType(values[originalAt].ulPropTag) == mapi::PT_BINARY &&
            values[originalAt].Value.bin.cb > 0)
            original = &values[originalAt].Value.bin;
        visit(MapiAddress{address, type != nullptr && std::wcscmp(type, L"EX") == 0, original});
    }
}

}  // namespace baseline
