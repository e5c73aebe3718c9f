#include "MapiProperties.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "ContactProperties.h"
#include "ErrorReporting.h"
#include "LiveObjects.h"
#include "MapiAllocator.h"
#include "platform/MapiDefinitions.h"

namespace outlook {

namespace {

constexpr HRESULT MAPI_E_NO_SUPPORT = static_cast<HRESULT>(0x80040102L);
constexpr HRESULT MAPI_E_INVALID_PARAMETER = static_cast<HRESULT>(0x80070057L);
constexpr HRESULT MAPI_E_NOT_ENOUGH_MEMORY = static_cast<HRESULT>(0x8007000EL);
// IMAPIProp has no Outlook IID of its own; error information names the MAPI one.
const IID& errorInterface = mapi::IID_IMAPIProp;

const EmailNamedProperty* propertyWithLongId(const mapi::MAPINAMEID* name) {
    if (name == nullptr || name->lpguid == nullptr || !IsEqualGUID(*name->lpguid, mapi::PSETID_Address) ||
        name->ulKind != mapi::MNID_ID) {
        return nullptr;
    }
    for (const auto& property : emailNamedProperties) {
        if (property.longId == name->Kind.lID) {
            return &property;
        }
    }
    return nullptr;
}

const EmailNamedProperty* propertyWithId(ULONG id) {
    for (const auto& property : emailNamedProperties) {
        if (property.propertyId == id) {
            return &property;
        }
    }
    return nullptr;
}

// One value of GetProps before it is copied into the MAPI buffer.
struct PendingValue {
    ULONG tag;
    std::wstring unicode;  // PT_UNICODE
    std::string ansi;      // PT_STRING8
};

constexpr size_t alignUp(size_t size) { return (size + 7) & ~size_t{7}; }

// The room a value's string takes after the value array, terminator included.
size_t stringBytes(const PendingValue& value) {
    switch (mapi::propType(value.tag)) {
        case mapi::PT_UNICODE:
            return alignUp((value.unicode.size() + 1) * sizeof(wchar_t));
        case mapi::PT_STRING8:
            return alignUp(value.ansi.size() + 1);
        default:
            return 0;
    }
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
    const EmailNamedProperty* property = propertyWithId(id);
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
                return {mapi::propTag(mapi::PT_STRING8, id), {},
                        std::string(representation.rawBytes->begin(), representation.rawBytes->end())};
            }
            if (!value) {
                return missing;
            }
            return {mapi::propTag(mapi::PT_STRING8, id), {}, toAnsi(*value)};
        case MapiRepresentation::Type::Error:
            break;
    }
    return missing;
}

class MapiProperties final : public mapi::IMAPIProp {
public:
    MapiProperties(SessionPtr session, size_t item) : session_(std::move(session)), item_(item) {}
    MapiProperties(const MapiProperties&) = delete;
    MapiProperties& operator=(const MapiProperties&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, mapi::IID_IMAPIProp)) {
            return E_NOINTERFACE;
        }
        *object = static_cast<mapi::IMAPIProp*>(this);
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG nameCount, mapi::MAPINAMEID** names, ULONG,
                                              mapi::SPropTagArray** propTags) override {
        if (propTags == nullptr) {
            return MAPI_E_INVALID_PARAMETER;
        }
        *propTags = nullptr;
        if (const Fault* fault = session_->call("IMAPIProp.GetIDsFromNames")) {
            return fault->yieldsNull ? S_OK : reportFault(*fault, errorInterface, nullptr);
        }
        if (names == nullptr || nameCount == 0) {
            return MAPI_E_INVALID_PARAMETER;  // listing every named property is not supported
        }
        const size_t size = offsetof(mapi::SPropTagArray, aulPropTag) + sizeof(ULONG) * nameCount;
        auto* tags = static_cast<mapi::SPropTagArray*>(allocateMapiBuffer(size));
        if (tags == nullptr) {
            return MAPI_E_NOT_ENOUGH_MEMORY;
        }
        tags->cValues = nameCount;
        bool anyUnknown = false;
        for (ULONG n = 0; n < nameCount; ++n) {
            const EmailNamedProperty* property = propertyWithLongId(names[n]);
            anyUnknown = anyUnknown || property == nullptr;
            tags->aulPropTag[n] = property ? mapi::propTag(mapi::PT_UNSPECIFIED, property->propertyId)
                                           : mapi::propTag(mapi::PT_ERROR, 0);
        }
        *propTags = tags;
        return anyUnknown ? mapi::MAPI_W_ERRORS_RETURNED : S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* propTags, ULONG, ULONG* valueCount,
                                       mapi::SPropValue** values) override {
        if (valueCount == nullptr || values == nullptr) {
            return MAPI_E_INVALID_PARAMETER;
        }
        *valueCount = 0;
        *values = nullptr;
        if (const Fault* fault = session_->call("IMAPIProp.GetProps")) {
            return fault->yieldsNull ? S_OK : reportFault(*fault, errorInterface, nullptr);
        }
        if (propTags == nullptr) {
            return MAPI_E_INVALID_PARAMETER;  // fetching every property is not supported
        }
        const Contact& contact = session_->profile().items[item_].contact;
        ULONG count = propTags->cValues;
        if (contact.mapiValueCount && *contact.mapiValueCount < count) {
            count = *contact.mapiValueCount;
        }

        std::vector<PendingValue> pending;
        size_t size = alignUp(sizeof(mapi::SPropValue) * count);
        for (ULONG n = 0; n < count; ++n) {
            pending.push_back(valueFor(contact, propTags->aulPropTag[n]));
            size += stringBytes(pending.back());
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
        bool anyError = false;
        for (ULONG n = 0; n < count; ++n) {
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
                default:
                    result[n].Value.err = mapi::MAPI_E_NOT_FOUND;
                    anyError = true;
                    break;
            }
            strings += stringBytes(value);
        }
        *valueCount = count;
        *values = result;
        return anyError ? mapi::MAPI_W_ERRORS_RETURNED : S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, void** mapiError) override {
        if (mapiError != nullptr) {
            *mapiError = nullptr;
        }
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, mapi::SPropTagArray** propTags) override {
        if (propTags != nullptr) {
            *propTags = nullptr;
        }
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, const IID*, ULONG, ULONG, IUnknown** unknown) override {
        if (unknown != nullptr) {
            *unknown = nullptr;
        }
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, mapi::SPropValue*, void**) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE DeleteProps(mapi::SPropTagArray*, void**) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, const IID*, mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*,
                                     ULONG, void**) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE CopyProps(mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*, ULONG,
                                        void**) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(mapi::SPropTagArray**, GUID*, ULONG, ULONG* nameCount,
                                              mapi::MAPINAMEID*** names) override {
        if (nameCount != nullptr) {
            *nameCount = 0;
        }
        if (names != nullptr) {
            *names = nullptr;
        }
        return MAPI_E_NO_SUPPORT;
    }

private:
    ~MapiProperties() = default;

    LiveObject live_;
    std::atomic<ULONG> references_{1};
    SessionPtr session_;
    size_t item_;
};

}  // namespace

IUnknown* createMapiProperties(const SessionPtr& session, size_t item) {
    return new MapiProperties(session, item);
}

}  // namespace outlook
