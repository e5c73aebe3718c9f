#include "MapiDelivery.h"

#include "MapiAllocator.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace standin::mapiprops {

namespace {

constexpr size_t alignUp(size_t size) { return (size + 7) & ~size_t{7}; }

// The room a value's string (terminator included) or bytes take after the value array.
size_t stringBytes(const PendingValue& value) {
    switch (mapi::propType(value.tag)) {
    case mapi::PT_UNICODE: return alignUp((value.unicode.size() + 1) * sizeof(wchar_t));
    case mapi::PT_STRING8: return alignUp(value.ansi.size() + 1);
    case mapi::PT_BINARY: return alignUp(value.binary.size());
    default: return 0;
    }
}

}  // namespace

HRESULT deliverTags(const TagsAnswer& answer, mapi::SPropTagArray** propTags) {
    *propTags = nullptr;
    if (!answer.tags) return answer.result;
    const size_t count = answer.tags->size();
    const size_t size = offsetof(mapi::SPropTagArray, aulPropTag) + sizeof(ULONG) * std::max<size_t>(count, 1);
    auto* tags = static_cast<mapi::SPropTagArray*>(allocateMapiBuffer(size));
    if (tags == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    tags->cValues = static_cast<ULONG>(count);
    std::copy(answer.tags->begin(), answer.tags->end(), tags->aulPropTag);
    *propTags = tags;
    return answer.result;
}

HRESULT deliverValues(const ValuesAnswer& answer, ULONG* valueCount, mapi::SPropValue** values) {
    *valueCount = 0;
    *values = nullptr;
    if (!answer.values) return answer.result;
    const std::vector<PendingValue>& pending = *answer.values;
    const size_t count = pending.size();
    size_t size = alignUp(sizeof(mapi::SPropValue) * count);
    for (const PendingValue& value : pending) size += stringBytes(value);

    // One block: the values first, then the strings they point to.
    size = std::max<size_t>(size, 1);
    auto* block = static_cast<unsigned char*>(allocateMapiBuffer(size));
    if (block == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
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
        case mapi::PT_BINARY: {
            std::memcpy(strings, value.binary.data(), value.binary.size());
            result[n].Value.bin = {static_cast<ULONG>(value.binary.size()), strings};
            break;
        }
        default: result[n].Value.err = value.error; break;
        }
        strings += stringBytes(value);
    }
    *valueCount = static_cast<ULONG>(count);
    *values = result;
    return answer.result;
}

}  // namespace standin::mapiprops
