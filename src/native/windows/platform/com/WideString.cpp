#include "WideString.h"

#include "ComError.h"
#include "Variant.h"

#include <cwchar>
#include <new>
#include <utility>

namespace com {

struct WideString::Shared {
    explicit Shared(BSTR owned) noexcept : string(owned) {}
    BSTR string;
    long references = 1;
};

WideString::WideString(const WideString& other) noexcept : shared(other.shared) {
    if (shared != nullptr) ++shared->references;
}

WideString::WideString(WideString&& other) noexcept : shared(std::exchange(other.shared, nullptr)) {}

WideString& WideString::operator=(const WideString& other) noexcept {
    WideString copy(other);
    std::swap(shared, copy.shared);
    return *this;
}

WideString& WideString::operator=(WideString&& other) noexcept {
    WideString moved(std::move(other));
    std::swap(shared, moved.shared);
    return *this;
}

WideString::~WideString() { release(); }

void WideString::release() noexcept {
    if (shared == nullptr) return;
    if (--shared->references == 0) {
        SysFreeString(shared->string);
        delete shared;
    }
    shared = nullptr;
}

WideString WideString::adopt(BSTR string) {
    if (string == nullptr) return WideString();
    auto* sharedString = new (std::nothrow) Shared(string);
    if (sharedString == nullptr) {
        SysFreeString(string);
        throw std::bad_alloc();
    }
    return WideString(sharedString);
}

WideString WideString::copyOf(const wchar_t* units, std::size_t count) {
    // A BSTR's length prefix counts bytes in 32 bits.
    if (count > 0x7FFFFFFF / sizeof(wchar_t)) throw std::bad_alloc();
    BSTR string = SysAllocStringLen(units, static_cast<UINT>(count));
    if (string == nullptr) throw std::bad_alloc();
    return adopt(string);
}

BSTR WideString::get() const noexcept { return shared != nullptr ? shared->string : nullptr; }

std::size_t WideString::length() const noexcept { return shared != nullptr ? SysStringLen(shared->string) : 0; }

std::size_t WideString::lengthToFirstNul() const noexcept { return unitsBeforeNul(get()); }

std::size_t unitsBeforeNul(BSTR string) noexcept {
    const std::size_t units = SysStringLen(string);
    if (units == 0) return 0;
    const wchar_t* nul = std::wmemchr(string, L'\0', units);
    return nul != nullptr ? static_cast<std::size_t>(nul - string) : units;
}

WideString variantToWide(const VARIANT& value) {
    if (value.vt == VT_BSTR) return WideString::copyOf(value.bstrVal, unitsBeforeNul(value.bstrVal));
    Variant changed;
    const HRESULT result = VariantChangeType(changed.put(), const_cast<VARIANT*>(&value), 0, VT_BSTR);
    if (FAILED(result)) throwComError(result, "VariantChangeType to text");
    return WideString::copyOf(changed->bstrVal, unitsBeforeNul(changed->bstrVal));
}

}  // namespace com
