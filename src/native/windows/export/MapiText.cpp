#include "export/MapiText.h"

#include "text/TextConversion.h"

#include <cstring>
#include <cwchar>

namespace exporting {

namespace mapiText {

namespace {

const char* narrowText(const mapi::SPropValue& value) {
    return mapi::propType(value.ulPropTag) == mapi::PT_STRING8 ? value.Value.lpszA : nullptr;
}

const wchar_t* wideText(const mapi::SPropValue& value) {
    return mapi::propType(value.ulPropTag) == mapi::PT_UNICODE ? value.Value.lpszW : nullptr;
}

}  // namespace

bool isEmpty(const mapi::SPropValue& value) {
    if (const char* narrow = narrowText(value)) return narrow[0] == '\0';
    if (const wchar_t* wide = wideText(value)) return wide[0] == L'\0';
    return true;
}

bool isExchangeType(const mapi::SPropValue& value) {
    if (const char* narrow = narrowText(value)) return std::strcmp(narrow, "EX") == 0;
    if (const wchar_t* wide = wideText(value)) return std::wcscmp(wide, L"EX") == 0;
    return false;
}

com::WideString toWide(const mapi::SPropValue& value) {
    if (const char* narrow = narrowText(value)) return text::ansiToWide(narrow);
    if (const wchar_t* wide = wideText(value)) return com::WideString::copyOf(wide, std::wcslen(wide));
    return com::WideString::copyOf(L"", 0);
}

HRESULT unreadError(const mapi::SPropValue& value) {
    if (mapi::propType(value.ulPropTag) != mapi::PT_ERROR) return S_OK;
    const HRESULT error = value.Value.err;
    return error == mapi::MAPI_E_NOT_FOUND || SUCCEEDED(error) ? S_OK : error;
}

const mapi::SBinary* binary(const mapi::SPropValue& value) {
    if (mapi::propType(value.ulPropTag) != mapi::PT_BINARY) return nullptr;
    return value.Value.bin.cb > 0 && value.Value.bin.lpb != nullptr ? &value.Value.bin : nullptr;
}

}  // namespace mapiText

}  // namespace exporting
