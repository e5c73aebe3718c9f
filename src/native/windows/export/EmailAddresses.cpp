#include "connection/ContactExporter.h"

#include "export/ContactRecord.h"
#include "export/JsonString.h"
#include "export/MapiText.h"
#include "platform/ComError.h"
#include "platform/MapiCalls.h"
#include "platform/RemoteQuery.h"
#include "text/Diagnostics.h"
#include "text/TextConversion.h"

#include <cwchar>
#include <string>
#include <string_view>

using outlook::ContactText;
using text::WideString;

namespace {

constexpr const char* smtpAddressSchema = "http://schemas.microsoft.com/mapi/proptag/0x39FE001E";

constexpr ULONG addressPropertyCount = sizeof outlook::emailNamedProperties / sizeof outlook::emailNamedProperties[0];

struct AddressPair {
    ContactText address;
    ContactText type;
};

constexpr AddressPair objectModelPairs[] = {
    {ContactText::Email1Address, ContactText::Email1AddressType},
    {ContactText::Email2Address, ContactText::Email2AddressType},
    {ContactText::Email3Address, ContactText::Email3AddressType},
};

bool isExchangeType(const WideString& type) { return !type.isNull() && std::wcscmp(type.get(), L"EX") == 0; }

}  // namespace

void ContactExporter::writeEmailAddresses(const outlook::ContactItem& contact, JsonList& addresses) {
    if (emailRoad == EmailRoad::mapi && writeEmailAddressesThroughMapi(contact, addresses)) return;
    writeEmailAddressesThroughObjectModel(contact, addresses);
}

// The six values in one call, as MAPI named properties of the contact's own
// message object. False, and nothing written, when the contact's MAPIOBJECT
// gives no IMAPIProp: Outlook's MAPI objects do not cross from its process
// into another, so on most machines none ever does. The rest of the run then
// reads the addresses through the object model and asks for MAPIOBJECT no
// more. A failure of the two MAPI calls leaves the list empty.
bool ContactExporter::writeEmailAddressesThroughMapi(const outlook::ContactItem& contact, JsonList& addresses) {
    const platform::ComRef<IUnknown> mapiObject = contact.mapiObject();
    platform::ComRef<mapi::IMAPIProp> properties;
    const HRESULT query = platform::queryRemote(mapiObject, mapi::IID_IMAPIProp, properties);
    if (FAILED(query) || !properties) {
        emailRoad = EmailRoad::objectModel;
        constexpr std::string_view switched = "The e-mail addresses are read through the object model from here on.";
        if (mapiObject) {
            diagnostics::reportFailure(
                platform::ComError(FAILED(query) ? query : E_NOINTERFACE, "QueryInterface IMAPIProp on MAPIOBJECT"),
                switched);
        } else {
            diagnostics::reportEvent("_ContactItem.MAPIOBJECT gave no object. " + std::string(switched));
        }
        return false;
    }

    GUID propertySet = mapi::PSETID_Address;
    mapi::MAPINAMEID names[addressPropertyCount];
    mapi::MAPINAMEID* namePointers[addressPropertyCount];
    for (ULONG at = 0; at < addressPropertyCount; ++at) {
        names[at].lpguid = &propertySet;
        names[at].ulKind = mapi::MNID_ID;
        names[at].Kind.lID = outlook::emailNamedProperties[at].longId;
        namePointers[at] = &names[at];
    }

    const mapi::FreeBuffer freeBuffer{mapiLibrary->entryPoints().MAPIFreeBuffer};
    mapi::Buffer<mapi::SPropTagArray> tags(nullptr, freeBuffer);
    if (FAILED(mapi::getIDsFromNames(*properties.get(), addressPropertyCount, namePointers, tags)) || !tags) {
        return true;
    }
    ULONG valueCount = 0;
    mapi::Buffer<mapi::SPropValue> values(nullptr, freeBuffer);
    if (FAILED(mapi::getProps(*properties.get(), tags.get(), valueCount, values)) || !values) return true;

    // Only pairs whose two values were both returned are read. The comma
    // goes out before the address is converted and resolved: a failure
    // there leaves the output ending in it.
    const ULONG usable = valueCount < addressPropertyCount ? valueCount : addressPropertyCount;
    for (ULONG at = 0; at + 1 < usable; at += 2) {
        const mapi::SPropValue& address = values.get()[at];
        const mapi::SPropValue& type = values.get()[at + 1];
        if (mapiText::isEmpty(address)) continue;
        addresses.beginEntry();
        const WideString stored = mapiText::toWide(address);
        writeJsonString("\"", mapiText::isExchangeType(type) ? resolveSmtpAddress(stored) : stored);
    }
    return true;
}

// Each pair's address, then its type only when there is an address to
// write: every read is a round trip, and one that Outlook's security prompt
// guards. An address is read up to its first NUL, as on the MAPI road, so
// one whose text is empty there is no address either. The comma goes out
// before the address is resolved, as on the MAPI road.
void ContactExporter::writeEmailAddressesThroughObjectModel(const outlook::ContactItem& contact, JsonList& addresses) {
    for (const AddressPair& pair : objectModelPairs) {
        const WideString address = contact.text(pair.address);
        if (address.lengthToFirstNul() == 0) continue;
        const WideString type = contact.text(pair.type);
        addresses.beginEntry();
        writeJsonString("\"", isExchangeType(type) ? resolveSmtpAddress(address) : address);
    }
}

WideString ContactExporter::resolveSmtpAddress(const WideString& address) const {
    const outlook::Recipient recipient = nameSpace.createRecipient(address);
    if (!recipient.resolve()) return WideString();

    const outlook::AddressEntry entry = recipient.addressEntry();
    if (entry.address().ansi() != address.ansi()) return WideString();

    const outlook::PropertyAccessor accessor = entry.propertyAccessor();
    try {
        return accessor.getPropertyText(text::ansiToWide(smtpAddressSchema));
    } catch (const platform::ComError& error) {
        // An address entry that holds no SMTP address: Outlook cannot give one.
        if (error.result() == mapi::MAPI_E_NOT_FOUND) return WideString();
        throw;
    }
}
