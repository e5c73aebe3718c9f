#include "text/TextConversion.h"

#include "platform/ComError.h"
#include "platform/Variant.h"

#include <climits>
#include <cstring>
#include <new>

namespace text {

using platform::throwComError;

namespace {

int checkedLength(std::size_t count) {
    if (count > static_cast<std::size_t>(INT_MAX)) throwComError(E_OUTOFMEMORY);
    return static_cast<int>(count);
}

std::string narrowFrom(UINT codePage, const wchar_t* units, std::size_t count) {
    if (count == 0) return {};
    const int unitCount = checkedLength(count);
    const int needed = WideCharToMultiByte(codePage, 0, units, unitCount, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) throwComError(platform::lastErrorAsHresult());
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(codePage, 0, units, unitCount, narrow.data(), needed, nullptr, nullptr);
    if (written <= 0) throwComError(platform::lastErrorAsHresult());
    narrow.resize(static_cast<std::size_t>(written));
    return narrow;
}

WideString wideFrom(UINT codePage, const char* bytes, std::size_t count) {
    if (count == 0) return WideString::copyOf(L"", 0);
    const int byteCount = checkedLength(count);
    const int needed = MultiByteToWideChar(codePage, 0, bytes, byteCount, nullptr, 0);
    if (needed <= 0) throwComError(platform::lastErrorAsHresult());
    WideString wide = WideString::copyOf(nullptr, static_cast<std::size_t>(needed));
    const int written = MultiByteToWideChar(codePage, 0, bytes, byteCount, wide.get(), needed);
    if (written <= 0) throwComError(platform::lastErrorAsHresult());
    return wide;
}

}  // namespace

std::string wideToUtf8(const wchar_t* units, std::size_t count) { return narrowFrom(CP_UTF8, units, count); }

WideString utf8ToWide(const std::string& utf8) { return wideFrom(CP_UTF8, utf8.c_str(), std::strlen(utf8.c_str())); }

WideString ansiToWide(const char* ansi) {
    if (ansi == nullptr) return WideString();
    return wideFrom(CP_ACP, ansi, std::strlen(ansi));
}

WideString ansiToWide(const std::string& ansi) { return ansiToWide(ansi.c_str()); }

std::string wideToAnsi(const WideString& wide) {
    try {
        return narrowFrom(CP_ACP, wide.get(), wide.lengthToFirstNul());
    } catch (const std::bad_alloc&) {
        throwComError(E_OUTOFMEMORY);
    }
}

WideString variantToWide(const VARIANT& value) {
    if (value.vt == VT_BSTR) return WideString::copyOf(value.bstrVal, unitsBeforeNul(value.bstrVal));
    platform::Variant changed;
    const HRESULT result = VariantChangeType(&changed, const_cast<VARIANT*>(&value), 0, VT_BSTR);
    if (FAILED(result)) throwComError(result);
    return WideString::copyOf(changed->bstrVal, unitsBeforeNul(changed->bstrVal));
}

}  // namespace text
