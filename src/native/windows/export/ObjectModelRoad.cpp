#include "export/ObjectModelRoad.h"

#include <cwchar>

namespace exporting {

using outlook::ContactText;

namespace {

struct AddressPair {
    ContactText address;
    ContactText type;
};

constexpr AddressPair addressPairs[] = {
    {ContactText::Email1Address, ContactText::Email1AddressType},
    {ContactText::Email2Address, ContactText::Email2AddressType},
    {ContactText::Email3Address, ContactText::Email3AddressType},
};

bool isExchangeType(const com::WideString& type) { return !type.isNull() && std::wcscmp(type.get(), L"EX") == 0; }

}  // namespace

// An address is read up to its first NUL, as on the MAPI roads, so one whose
// text is empty there is no address either. The comma goes out before the
// address is resolved, as on the MAPI roads.
RoadAnswer ObjectModelRoad::write(CurrentContact& contact, JsonList& addresses) {
    for (const AddressPair& pair : addressPairs) {
        const com::WideString address = contact.item().text(pair.address);
        if (address.lengthToFirstNul() == 0) continue;
        const com::WideString type = contact.item().text(pair.type);
        addresses.addString([&] { return addressToWrite(resolver, address, isExchangeType(type)); });
    }
    return RoadAnswer::written;
}

}  // namespace exporting
