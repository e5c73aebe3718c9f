#pragma once

#include "MapiPropertyTags.h"

#include <windows.h>

#include <exception>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace standin::mapiprops {

constexpr HRESULT MAPI_E_INVALID_PARAMETER = static_cast<HRESULT>(0x80070057L);
constexpr HRESULT MAPI_E_NOT_ENOUGH_MEMORY = static_cast<HRESULT>(0x8007000EL);

// One value of GetProps before it reaches the caller's MAPI buffer.
struct PendingValue {
    ULONG tag;
    std::wstring unicode;                    // PT_UNICODE
    std::string ansi;                        // PT_STRING8
    std::vector<unsigned char> binary;       // PT_BINARY
    HRESULT error = mapi::MAPI_E_NOT_FOUND;  // PT_ERROR
};

// What GetIDsFromNames answers: its result and, unless the call yields
// none, the property tags.
struct TagsAnswer {
    HRESULT result = S_OK;
    std::optional<std::vector<ULONG>> tags;
};

// What GetProps answers: its result and, unless the call yields none, the
// values.
struct ValuesAnswer {
    HRESULT result = S_OK;
    std::optional<std::vector<PendingValue>> values;
};

// Hands an answer to the caller the MAPI way: in one block from the
// MAPIAllocateBuffer of this process, for the caller to free with
// MAPIFreeBuffer. MAPI_E_NOT_ENOUGH_MEMORY when the block cannot be had.
HRESULT deliverTags(const TagsAnswer& answer, mapi::SPropTagArray** propTags);
HRESULT deliverValues(const ValuesAnswer& answer, ULONG* valueCount, mapi::SPropValue** values);

// Runs the answering of a MAPI call and returns its result; what it raises
// becomes the result instead: E_OUTOFMEMORY when memory ran short,
// E_UNEXPECTED for anything else.
template <typename Answering>
HRESULT resultOfAnswering(Answering&& answering) noexcept {
    try {
        return answering();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return E_UNEXPECTED;
    }
}

}  // namespace standin::mapiprops
