#include "MapiAnswers.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "ContactProperties.h"
#include "ErrorReporting.h"
#include "MapiAllocator.h"

namespace outlook {

namespace {

constexpr HRESULT MAPI_E_NOT_ENOUGH_MEMORY = static_cast<HRESULT>(0x8007000EL);
// IMAPIProp has no Outlook IID of its own; error information names the MAPI one.
const IID& errorInterface = mapi::IID_IMAPIProp;

const StoredEmailProperty* propertyWithLongId(const mapi::MAPINAMEID* name) {
    if (name == nullptr || name->lpguid == nullptr || !IsEqualGUID(*name->lpguid, mapi::PSETID_Address) ||
        name->ulKind != mapi::MNID_ID) {
        return nullptr;
    }
    for (const auto& property : storedEmailProperties) {
        if (property.longId == name->Kind.lID) {
            return &property;
        }
    }
    return nullptr;
}

const StoredEmailProperty* propertyWithId(ULONG id) {
    for (const auto& property : storedEmailProperties) {
        if (property.propertyId == id) {
            return &property;
        }
    }
    return nullptr;
}

std::string toAnsi(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

PendingValue valueFor(const Contact& contact, ULONG requestedTag) {
    const ULONG id = mapi::propId(requestedTag);
    const PendingValue missing{mapi::propTag(mapi::PT_ERROR, id), {}, {}};
    const StoredEmailProperty* property = propertyWithId(id);
    if (property == nullptr) {
        return missing;
    }
    const std::string member(property->member);
    const auto text = contact.texts.find(member);
    const Text value = text == contact.texts.end() ? Text() : text->second;
    const auto type = contact.mapi.find(member);
    static const MapiRepresentation unicode{};
    const MapiRepresentation& representation = type == contact.mapi.end() ? unicode : type->second;

    switch (representation.type) {
    case MapiRepresentation::Type::Unicode:
        if (!value) {
            return missing;
        }
        return {mapi::propTag(mapi::PT_UNICODE, id), *value, {}};
    case MapiRepresentation::Type::String8:
        if (representation.rawBytes) {
            return {mapi::propTag(mapi::PT_STRING8, id),
                    {},
                    std::string(representation.rawBytes->begin(), representation.rawBytes->end())};
        }
        if (!value) {
            return missing;
        }
        return {mapi::propTag(mapi::PT_STRING8, id), {}, toAnsi(*value)};
    case MapiRepresentation::Type::Error: break;
    }
    return missing;
}

constexpr size_t alignUp(size_t size) { return (size + 7) & ~size_t{7}; }

// The room a value's string takes after the value array, terminator included.
size_t stringBytes(const PendingValue& value) {
    switch (mapi::propType(value.tag)) {
    case mapi::PT_UNICODE: return alignUp((value.unicode.size() + 1) * sizeof(wchar_t));
    case mapi::PT_STRING8: return alignUp(value.ansi.size() + 1);
    default: return 0;
    }
}

}  // namespace

TagsAnswer answerGetIDsFromNames(const Session& session, ULONG nameCount, mapi::MAPINAMEID** names) {
    if (const Fault* fault = session.call("IMAPIProp.GetIDsFromNames")) {
        return {fault->yieldsNull ? S_OK : reportFault(*fault, errorInterface, nullptr), std::nullopt};
    }
    if (names == nullptr || nameCount == 0) {
        return {MAPI_E_INVALID_PARAMETER, std::nullopt};  // listing every named property is not supported
    }
    std::vector<ULONG> tags;
    bool anyUnknown = false;
    for (ULONG n = 0; n < nameCount; ++n) {
        const StoredEmailProperty* property = propertyWithLongId(names[n]);
        anyUnknown = anyUnknown || property == nullptr;
        tags.push_back(property ? mapi::propTag(mapi::PT_UNSPECIFIED, property->propertyId)
                                : mapi::propTag(mapi::PT_ERROR, 0));
    }
    return {anyUnknown ? mapi::MAPI_W_ERRORS_RETURNED : S_OK, std::move(tags)};
}

ValuesAnswer answerGetProps(const Session& session, size_t item, const mapi::SPropTagArray* propTags) {
    if (const Fault* fault = session.call("IMAPIProp.GetProps")) {
        return {fault->yieldsNull ? S_OK : reportFault(*fault, errorInterface, nullptr), std::nullopt};
    }
    if (propTags == nullptr) {
        return {MAPI_E_INVALID_PARAMETER, std::nullopt};  // fetching every property is not supported
    }
    const Contact& contact = session.profile().item(item).contact;
    ULONG count = propTags->cValues;
    if (contact.mapiValueCount && *contact.mapiValueCount < count) {
        count = *contact.mapiValueCount;
    }
    std::vector<PendingValue> values;
    bool anyError = false;
    for (ULONG n = 0; n < count; ++n) {
        values.push_back(valueFor(contact, propTags->aulPropTag[n]));
        anyError = anyError || mapi::propType(values.back().tag) == mapi::PT_ERROR;
    }
    return {anyError ? mapi::MAPI_W_ERRORS_RETURNED : S_OK, std::move(values)};
}

HRESULT deliverTags(const TagsAnswer& answer, mapi::SPropTagArray** propTags) {
    *propTags = nullptr;
    if (!answer.tags) {
        return answer.result;
    }
    const size_t count = answer.tags->size();
    const size_t size = offsetof(mapi::SPropTagArray, aulPropTag) + sizeof(ULONG) * std::max<size_t>(count, 1);
    auto* tags = static_cast<mapi::SPropTagArray*>(allocateMapiBuffer(size));
    if (tags == nullptr) {
        return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    tags->cValues = static_cast<ULONG>(count);
    std::copy(answer.tags->begin(), answer.tags->end(), tags->aulPropTag);
    *propTags = tags;
    return answer.result;
}

HRESULT deliverValues(const ValuesAnswer& answer, ULONG* valueCount, mapi::SPropValue** values) {
    *valueCount = 0;
    *values = nullptr;
    if (!answer.values) {
        return answer.result;
    }
    const std::vector<PendingValue>& pending = *answer.values;
    const size_t count = pending.size();
    size_t size = alignUp(sizeof(mapi::SPropValue) * count);
    for (const PendingValue& value : pending) {
        size += stringBytes(value);
    }

    // One block: the values first, then the strings they point to.
    size = std::max<size_t>(size, 1);
    auto* block = static_cast<unsigned char*>(allocateMapiBuffer(size));
    if (block == nullptr) {
        return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    std::memset(block, 0, size);
    auto* result = reinterpret_cast<mapi::SPropValue*>(block);
    unsigned char* strings = block + alignUp(sizeof(mapi::SPropValue) * count);
    for (size_t n = 0; n < count; ++n) {
        const PendingValue& value = pending[n];
        result[n].ulPropTag = value.tag;
        switch (mapi::propType(value.tag)) {
        case mapi::PT_UNICODE: {
            auto* text = reinterpret_cast<wchar_t*>(strings);
            std::memcpy(text, value.unicode.data(), value.unicode.size() * sizeof(wchar_t));
            result[n].Value.lpszW = text;
            break;
        }
        case mapi::PT_STRING8: {
            auto* text = reinterpret_cast<char*>(strings);
            std::memcpy(text, value.ansi.data(), value.ansi.size());
            result[n].Value.lpszA = text;
            break;
        }
        default: result[n].Value.err = mapi::MAPI_E_NOT_FOUND; break;
        }
        strings += stringBytes(value);
    }
    *valueCount = static_cast<ULONG>(count);
    *values = result;
    return answer.result;
}

}  // namespace outlook
