#include "ContactMapiAnswers.h"

#include "ContactProperties.h"
#include "ErrorReporting.h"
#include "ExchangeEntryIds.h"

namespace standin::mapiprops {

namespace {

// PidLidEmail1OriginalEntryId and the same for 2 and 3: the address (and its
// type) that each is made from, and the property id this store maps it to,
// after the e-mail members'.
struct StoredOriginalEntryId {
    const char* address;
    const char* addressType;
    LONG longId;
    ULONG propertyId;
};

constexpr StoredOriginalEntryId storedOriginalEntryIds[] = {
    {"Email1Address", "Email1AddressType", 0x8085, 0x8A07},
    {"Email2Address", "Email2AddressType", 0x8095, 0x8A08},
    {"Email3Address", "Email3AddressType", 0x80A5, 0x8A09},
};

bool isAddressSetId(const mapi::MAPINAMEID* name) {
    return name != nullptr && name->lpguid != nullptr && IsEqualGUID(*name->lpguid, mapi::PSETID_Address) &&
           name->ulKind == mapi::MNID_ID;
}

// The property id of a named property this store has; 0 for none.
ULONG propertyIdOf(const mapi::MAPINAMEID* name) {
    if (!isAddressSetId(name)) return 0;
    for (const auto& property : profile::storedEmailProperties) {
        if (property.longId == name->Kind.lID) return property.propertyId;
    }
    for (const auto& property : storedOriginalEntryIds) {
        if (property.longId == name->Kind.lID) return property.propertyId;
    }
    return 0;
}

profile::Text textOf(const profile::Contact& contact, const std::string& member) {
    const auto text = contact.texts.find(member);
    return text == contact.texts.end() ? profile::Text() : text->second;
}

std::string toAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

PendingValue missingValue(ULONG id) { return {mapi::propTag(mapi::PT_ERROR, id), {}, {}, {}}; }

PendingValue emailValue(const profile::Contact& contact, const profile::StoredEmailProperty& property) {
    const ULONG id = property.propertyId;
    const std::string member(property.member);
    const profile::Text value = textOf(contact, member);
    const auto type = contact.mapi.find(member);
    static const profile::MapiRepresentation unicode{};
    const profile::MapiRepresentation& representation = type == contact.mapi.end() ? unicode : type->second;

    switch (representation.type) {
    case profile::MapiRepresentation::Type::Unicode:
        if (!value) return missingValue(id);
        return {mapi::propTag(mapi::PT_UNICODE, id), *value, {}, {}};
    case profile::MapiRepresentation::Type::String8:
        if (representation.rawBytes) {
            return {mapi::propTag(mapi::PT_STRING8, id),
                    {},
                    std::string(representation.rawBytes->begin(), representation.rawBytes->end()),
                    {}};
        }
        if (!value) return missingValue(id);
        return {mapi::propTag(mapi::PT_STRING8, id), {}, toAnsi(*value), {}};
    case profile::MapiRepresentation::Type::Error: break;
    }
    return missingValue(id);
}

// Exchange's addresses carry their original entry id, made from the address.
PendingValue originalEntryIdValue(const profile::Contact& contact, const StoredOriginalEntryId& property,
                                  size_t address) {
    const profile::Text text = textOf(contact, property.address);
    const profile::Text type = textOf(contact, property.addressType);
    const bool exchange = type && CompareStringOrdinal(type->c_str(), -1, L"EX", -1, TRUE) == CSTR_EQUAL;
    if (!text || !exchange || contact.withoutOriginalEntryId[address]) return missingValue(property.propertyId);
    return {mapi::propTag(mapi::PT_BINARY, property.propertyId), {}, {}, exchangeEntryId(*text)};
}

PendingValue valueFor(const profile::Contact& contact, ULONG requestedTag) {
    const ULONG id = mapi::propId(requestedTag);
    for (const auto& property : profile::storedEmailProperties) {
        if (property.propertyId == id) return emailValue(contact, property);
    }
    for (size_t address = 0; address < std::size(storedOriginalEntryIds); ++address) {
        if (storedOriginalEntryIds[address].propertyId == id) {
            return originalEntryIdValue(contact, storedOriginalEntryIds[address], address);
        }
    }
    return missingValue(id);
}

}  // namespace

ValuesAnswer faultedValues(const profile::Fault& fault, const IID& errorInterface) {
    return {fault.yieldsNull ? S_OK : profile::reportFault(fault, errorInterface, nullptr), std::nullopt};
}

TagsAnswer answerGetIDsFromNames(const profile::Fault* fault, const IID& errorInterface, ULONG nameCount,
                                 mapi::MAPINAMEID** names) {
    if (fault != nullptr) return {faultedValues(*fault, errorInterface).result, std::nullopt};
    if (names == nullptr || nameCount == 0) {
        return {MAPI_E_INVALID_PARAMETER, std::nullopt};  // listing every named property is not supported
    }
    std::vector<ULONG> tags;
    bool anyUnknown = false;
    for (ULONG n = 0; n < nameCount; ++n) {
        const ULONG id = propertyIdOf(names[n]);
        anyUnknown = anyUnknown || id == 0;
        tags.push_back(id != 0 ? mapi::propTag(PT_UNSPECIFIED, id) : mapi::propTag(mapi::PT_ERROR, 0));
    }
    return {anyUnknown ? mapi::MAPI_W_ERRORS_RETURNED : S_OK, std::move(tags)};
}

ValuesAnswer answerGetProps(const profile::Fault* fault, const IID& errorInterface, const profile::Contact& contact,
                            const mapi::SPropTagArray* propTags) {
    if (fault != nullptr) return faultedValues(*fault, errorInterface);
    if (propTags == nullptr) {
        return {MAPI_E_INVALID_PARAMETER, std::nullopt};  // fetching every property is not supported
    }
    ULONG count = propTags->cValues;
    if (contact.mapiValueCount && *contact.mapiValueCount < count) count = *contact.mapiValueCount;
    std::vector<PendingValue> values;
    bool anyError = false;
    for (ULONG n = 0; n < count; ++n) {
        values.push_back(valueFor(contact, propTags->aulPropTag[n]));
        anyError = anyError || mapi::propType(values.back().tag) == mapi::PT_ERROR;
    }
    return {anyError ? mapi::MAPI_W_ERRORS_RETURNED : S_OK, std::move(values)};
}

}  // namespace standin::mapiprops
