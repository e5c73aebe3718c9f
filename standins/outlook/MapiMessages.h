#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "MapiAnswers.h"
#include "Profile.h"
#include "mapi/MapiDefinitions.h"

// The IMAPIProp calls of a contact's MAPIOBJECT as byte messages, for the
// way from a client process to the local server and back. A malformed
// message raises std::runtime_error.
namespace outlook::messages {

// GetIDsFromNames's names, as the client passed them.
Bytes encodeNames(ULONG nameCount, mapi::MAPINAMEID** names);

class DecodedNames {
public:
    explicit DecodedNames(const Bytes& message);
    DecodedNames(const DecodedNames&) = delete;
    DecodedNames& operator=(const DecodedNames&) = delete;

    ULONG count() const { return count_; }
    mapi::MAPINAMEID** names() { return present_ ? pointers_.data() : nullptr; }

private:
    ULONG count_ = 0;
    bool present_ = false;
    std::vector<GUID> guids_;
    std::vector<mapi::MAPINAMEID> names_;
    std::vector<mapi::MAPINAMEID*> pointers_;
};

// GetProps's tag array, as the client passed it.
Bytes encodeTags(const mapi::SPropTagArray* propTags);

class DecodedTags {
public:
    explicit DecodedTags(const Bytes& message);

    const mapi::SPropTagArray* tags() const {
        return present_ ? reinterpret_cast<const mapi::SPropTagArray*>(storage_.data()) : nullptr;
    }

private:
    bool present_ = false;
    std::vector<ULONG> storage_;  // cValues, then the tags: the layout of SPropTagArray
};

Bytes encodeAnswer(const TagsAnswer& answer);
TagsAnswer decodeTagsAnswer(const Bytes& message);
Bytes encodeAnswer(const ValuesAnswer& answer);
ValuesAnswer decodeValuesAnswer(const Bytes& message);

// A message as a VARIANT (VT_ARRAY | VT_UI1) and back.
HRESULT toVariant(const Bytes& message, VARIANT& variant);
bool fromVariant(const VARIANT& variant, Bytes& message);

}  // namespace outlook::messages
