#include "export/EmailAddresses.h"

#include "export/MapiText.h"
#include "platform/com/BusyRetry.h"
#include "platform/com/ComError.h"
#include "platform/com/RemoteQuery.h"
#include "platform/mapi/MapiCalls.h"
#include "text/Diagnostics.h"
#include "text/TextConversion.h"

#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>

using outlook::ContactText;

namespace {

// The schema name of PR_SMTP_ADDRESS (0x39FE001E, a PT_STRING8 property) for
// PropertyAccessor.GetProperty.
constexpr wchar_t smtpAddressSchema[] = L"http://schemas.microsoft.com/mapi/proptag/0x39FE001E";
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

// Whether a MAPI call answered. One that never reached a working Outlook
// (busy past the deadline, or gone) ends the walk as a failed call does: it
// says nothing of the contact's addresses. MAPI's own failure (the store
// cannot answer for this contact) leaves the list empty.
bool answered(HRESULT result, const char* operation) {
    if (com::callNeverRan(result)) com::throwComError(result, operation);
    return SUCCEEDED(result);
}

}  // namespace

EmailAddresses::EmailAddresses(const outlook::NameSpace& outlookNameSpace, mapi::MAPIFREEBUFFER mapiFreeBuffer) noexcept
    : nameSpace(outlookNameSpace),
      freeBuffer(mapiFreeBuffer),
      road(mapiFreeBuffer != nullptr ? Road::mapi : Road::objectModel) {}

void EmailAddresses::write(const outlook::ContactItem& contact, JsonList& addresses) {
    if (road == Road::mapi && writeThroughMapi(contact, addresses)) return;
    writeThroughObjectModel(contact, addresses);
}

// The six values in one call, as MAPI named properties of the contact's own
// message object. False, and nothing written, when the contact's MAPIOBJECT
// gives no IMAPIProp: Outlook's MAPI objects do not cross from its process
// into another, so on most machines none ever does. The rest of the run then
// reads the addresses through the object model and asks for MAPIOBJECT no
// more. MAPI's own failure of the two calls leaves the list empty.
bool EmailAddresses::writeThroughMapi(const outlook::ContactItem& contact, JsonList& addresses) {
    const com::ComRef<IUnknown> mapiObject = contact.mapiObject();
    com::ComRef<mapi::IMAPIProp> properties;
    const HRESULT query = com::queryRemote(mapiObject, mapi::IID_IMAPIProp, properties);
    if (FAILED(query) || !properties) {
        road = Road::objectModel;
        constexpr std::string_view switched = "The e-mail addresses are read through the object model from here on.";
        if (mapiObject) {
            diagnostics::reportFailure(
                com::ComError(FAILED(query) ? query : E_NOINTERFACE, "QueryInterface IMAPIProp on MAPIOBJECT"),
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

    const mapi::FreeBuffer release{freeBuffer};
    mapi::Buffer<mapi::SPropTagArray> tags(nullptr, release);
    if (!answered(mapi::getIDsFromNames(*properties.get(), addressPropertyCount, namePointers, tags),
                  "IMAPIProp.GetIDsFromNames") ||
        !tags) {
        return true;
    }
    ULONG valueCount = 0;
    mapi::Buffer<mapi::SPropValue> values(nullptr, release);
    if (!answered(mapi::getProps(*properties.get(), tags.get(), valueCount, values), "IMAPIProp.GetProps") || !values) {
        return true;
    }

    // Only pairs whose two values were both returned are read. The comma
    // goes out before the address is converted and resolved: a failure
    // there leaves the output ending in it.
    const ULONG usable = valueCount < addressPropertyCount ? valueCount : addressPropertyCount;
    for (ULONG at = 0; at + 1 < usable; at += 2) {
        const mapi::SPropValue& address = values.get()[at];
        const mapi::SPropValue& type = values.get()[at + 1];
        if (mapiText::isEmpty(address)) continue;
        addresses.addString([&] { return resolved(mapiText::toWide(address), mapiText::isExchangeType(type)); });
    }
    return true;
}

// Each pair's address, then its type only when there is an address to
// write: every read is a round trip, and one that Outlook's security prompt
// guards. An address is read up to its first NUL, as on the MAPI road, so
// one whose text is empty there is no address either. The comma goes out
// before the address is resolved, as on the MAPI road.
void EmailAddresses::writeThroughObjectModel(const outlook::ContactItem& contact, JsonList& addresses) const {
    for (const AddressPair& pair : objectModelPairs) {
        const WideString address = contact.text(pair.address);
        if (address.lengthToFirstNul() == 0) continue;
        const WideString type = contact.text(pair.type);
        addresses.addString([&] { return resolved(address, isExchangeType(type)); });
    }
}

WideString EmailAddresses::resolved(const WideString& address, bool isExchange) const {
    return isExchange ? resolveSmtpAddress(address) : address;
}

// The SMTP address of an Exchange address, or the empty text when Outlook
// has none for exactly this address. The entry's address is compared with
// the one looked up as the ANSI code page has them, the form in which both
// would be written.
WideString EmailAddresses::resolveSmtpAddress(const WideString& address) const {
    const outlook::Recipient recipient = nameSpace.createRecipient(address);
    if (!recipient.resolve()) return WideString();

    const outlook::AddressEntry entry = recipient.addressEntry();
    if (text::wideToAnsi(entry.address()) != text::wideToAnsi(address)) return WideString();

    const outlook::PropertyAccessor accessor = entry.propertyAccessor();
    try {
        return accessor.getPropertyText(WideString::copyOf(smtpAddressSchema, std::size(smtpAddressSchema) - 1));
    } catch (const com::ComError& error) {
        // An address entry that holds no SMTP address: Outlook cannot give one.
        if (error.result() == mapi::MAPI_E_NOT_FOUND) return WideString();
        throw;
    }
}
