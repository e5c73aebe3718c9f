#include "MapiMessages.h"

#include <oleauto.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace outlook::messages {

namespace {

class Writer {
public:
    void number(ULONG value) { raw(&value, sizeof value); }
    void flag(bool value) { bytes_.push_back(value ? 1 : 0); }
    void raw(const void* data, size_t size) {
        const auto* first = static_cast<const unsigned char*>(data);
        bytes_.insert(bytes_.end(), first, first + size);
    }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

class Reader {
public:
    explicit Reader(const Bytes& bytes) : bytes_(bytes) {}

    ULONG number() {
        ULONG value = 0;
        raw(&value, sizeof value);
        return value;
    }
    bool flag() {
        unsigned char value = 0;
        raw(&value, 1);
        return value != 0;
    }
    void raw(void* data, size_t size) {
        if (size > bytes_.size() - at_) {
            throw std::runtime_error("truncated IMAPIProp message");
        }
        std::memcpy(data, bytes_.data() + at_, size);
        at_ += size;
    }
    // A count of items of `itemSize` bytes that the rest of the message can hold.
    ULONG count(size_t itemSize) {
        const ULONG value = number();
        if (itemSize != 0 && value > (bytes_.size() - at_) / itemSize) {
            throw std::runtime_error("IMAPIProp message with an impossible count");
        }
        return value;
    }

private:
    const Bytes& bytes_;
    size_t at_ = 0;
};

}  // namespace

Bytes encodeNames(ULONG nameCount, mapi::MAPINAMEID** names) {
    Writer writer;
    writer.number(nameCount);
    writer.flag(names != nullptr);
    for (ULONG n = 0; names != nullptr && n < nameCount; ++n) {
        const mapi::MAPINAMEID* name = names[n];
        writer.flag(name != nullptr);
        if (name == nullptr) {
            continue;
        }
        writer.flag(name->lpguid != nullptr);
        if (name->lpguid != nullptr) {
            writer.raw(name->lpguid, sizeof(GUID));
        }
        writer.number(name->ulKind);
        // Only numeric names can be found here; a string name travels as its kind.
        writer.number(name->ulKind == mapi::MNID_ID ? static_cast<ULONG>(name->Kind.lID) : 0);
    }
    return writer.take();
}

DecodedNames::DecodedNames(const Bytes& message) {
    Reader reader(message);
    count_ = reader.number();
    present_ = reader.flag();
    if (!present_) {
        return;
    }
    // Every name takes at least its presence flag.
    if (count_ > message.size()) {
        throw std::runtime_error("IMAPIProp message with an impossible count");
    }
    guids_.resize(count_);
    names_.resize(count_);
    pointers_.assign(count_, nullptr);
    for (ULONG n = 0; n < count_; ++n) {
        if (!reader.flag()) {
            continue;
        }
        mapi::MAPINAMEID& name = names_[n];
        name.lpguid = nullptr;
        if (reader.flag()) {
            reader.raw(&guids_[n], sizeof(GUID));
            name.lpguid = &guids_[n];
        }
        name.ulKind = reader.number();
        name.Kind.lID = static_cast<LONG>(reader.number());
        if (name.ulKind != mapi::MNID_ID) {
            name.Kind.lpwstrName = nullptr;
        }
        pointers_[n] = &name;
    }
}

Bytes encodeTags(const mapi::SPropTagArray* propTags) {
    Writer writer;
    writer.flag(propTags != nullptr);
    if (propTags != nullptr) {
        writer.number(propTags->cValues);
        writer.raw(propTags->aulPropTag, sizeof(ULONG) * propTags->cValues);
    }
    return writer.take();
}

DecodedTags::DecodedTags(const Bytes& message) {
    Reader reader(message);
    present_ = reader.flag();
    if (!present_) {
        return;
    }
    const ULONG count = reader.count(sizeof(ULONG));
    storage_.assign(static_cast<size_t>(count) + 1, 0);
    storage_[0] = count;
    reader.raw(storage_.data() + 1, sizeof(ULONG) * count);
}

Bytes encodeAnswer(const TagsAnswer& answer) {
    Writer writer;
    writer.number(static_cast<ULONG>(answer.result));
    writer.flag(answer.tags.has_value());
    if (answer.tags) {
        writer.number(static_cast<ULONG>(answer.tags->size()));
        writer.raw(answer.tags->data(), sizeof(ULONG) * answer.tags->size());
    }
    return writer.take();
}

TagsAnswer decodeTagsAnswer(const Bytes& message) {
    Reader reader(message);
    TagsAnswer answer;
    answer.result = static_cast<HRESULT>(reader.number());
    if (reader.flag()) {
        std::vector<ULONG> tags(reader.count(sizeof(ULONG)));
        reader.raw(tags.data(), sizeof(ULONG) * tags.size());
        answer.tags = std::move(tags);
    }
    return answer;
}

Bytes encodeAnswer(const ValuesAnswer& answer) {
    Writer writer;
    writer.number(static_cast<ULONG>(answer.result));
    writer.flag(answer.values.has_value());
    if (answer.values) {
        writer.number(static_cast<ULONG>(answer.values->size()));
        for (const PendingValue& value : *answer.values) {
            writer.number(value.tag);
            writer.number(static_cast<ULONG>(value.unicode.size()));
            writer.raw(value.unicode.data(), value.unicode.size() * sizeof(wchar_t));
            writer.number(static_cast<ULONG>(value.ansi.size()));
            writer.raw(value.ansi.data(), value.ansi.size());
        }
    }
    return writer.take();
}

ValuesAnswer decodeValuesAnswer(const Bytes& message) {
    Reader reader(message);
    ValuesAnswer answer;
    answer.result = static_cast<HRESULT>(reader.number());
    if (reader.flag()) {
        // A value takes at least its tag and two lengths.
        const ULONG count = reader.count(3 * sizeof(ULONG));
        std::vector<PendingValue> values(count);
        for (PendingValue& value : values) {
            value.tag = reader.number();
            value.unicode.resize(reader.count(sizeof(wchar_t)));
            reader.raw(value.unicode.data(), value.unicode.size() * sizeof(wchar_t));
            value.ansi.resize(reader.count(1));
            reader.raw(value.ansi.data(), value.ansi.size());
        }
        answer.values = std::move(values);
    }
    return answer;
}

HRESULT toVariant(const Bytes& message, VARIANT& variant) {
    VariantInit(&variant);
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(message.size()));
    if (array == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (!message.empty()) {
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(array, &data))) {
            SafeArrayDestroy(array);
            return E_UNEXPECTED;
        }
        std::memcpy(data, message.data(), message.size());
        SafeArrayUnaccessData(array);
    }
    variant.vt = VT_ARRAY | VT_UI1;
    variant.parray = array;
    return S_OK;
}

bool fromVariant(const VARIANT& variant, Bytes& message) {
    if (variant.vt != (VT_ARRAY | VT_UI1) || variant.parray == nullptr || SafeArrayGetDim(variant.parray) != 1) {
        return false;
    }
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(variant.parray, 1, &lower);
    SafeArrayGetUBound(variant.parray, 1, &upper);
    message.assign(static_cast<size_t>(upper - lower + 1), 0);
    if (message.empty()) {
        return true;
    }
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(variant.parray, &data))) {
        return false;
    }
    std::memcpy(message.data(), data, message.size());
    SafeArrayUnaccessData(variant.parray);
    return true;
}

}  // namespace outlook::messages
