#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <cstddef>

namespace com {

// A BSTR (UTF-16 with a length prefix; null means empty) shared by its
// copies and freed with the last of them. Text passes between the exporter
// and Outlook as these.
class WideString {
public:
    WideString() noexcept = default;
    WideString(const WideString& other) noexcept;
    WideString(WideString&& other) noexcept;
    WideString& operator=(const WideString& other) noexcept;
    WideString& operator=(WideString&& other) noexcept;
    ~WideString();

    // Takes over a BSTR that the caller owns; it is freed even if the holder
    // cannot be made (std::bad_alloc).
    static WideString adopt(BSTR string);
    // A new BSTR holding a copy of `count` UTF-16 units; std::bad_alloc when
    // it cannot be had.
    static WideString copyOf(const wchar_t* units, std::size_t count);

    BSTR get() const noexcept;
    bool isNull() const noexcept { return shared == nullptr; }
    // Length in UTF-16 units as the string holds it, NUL units included.
    std::size_t length() const noexcept;
    // The units up to the first NUL.
    std::size_t lengthToFirstNul() const noexcept;

private:
    struct Shared;
    explicit WideString(Shared* sharedString) noexcept : shared(sharedString) {}
    void release() noexcept;

    Shared* shared = nullptr;
};

// The number of units of a BSTR before its first NUL unit.
std::size_t unitsBeforeNul(BSTR string) noexcept;

// The text of a VARIANT, up to its first NUL unit: a VT_BSTR copied, any
// other type changed to one (VariantChangeType, flags 0). Raises the COM
// error when the value has no text form.
WideString variantToWide(const VARIANT& value);

}  // namespace com
