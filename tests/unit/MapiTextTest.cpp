#include "export/MapiText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

mapi::SPropValue narrow(const char* text) {
    mapi::SPropValue value{};
    value.ulPropTag = 0x8A01001E;  // PT_STRING8
    value.Value.lpszA = const_cast<char*>(text);
    return value;
}

mapi::SPropValue wide(const wchar_t* text) {
    mapi::SPropValue value{};
    value.ulPropTag = 0x8A01001F;  // PT_UNICODE
    value.Value.lpszW = const_cast<wchar_t*>(text);
    return value;
}

mapi::SPropValue missing() {
    mapi::SPropValue value{};
    value.ulPropTag = 0x8A01000A;  // PT_ERROR
    value.Value.err = static_cast<LONG>(mapi::MAPI_E_NOT_FOUND);
    return value;
}

std::wstring units(const com::WideString& value) { return std::wstring(value.get(), value.length()); }

}  // namespace

TEST(MapiText, StringsOfBothTypesAreTheirText) {
    EXPECT_FALSE(exporting::mapiText::isEmpty(narrow("ada@example.com")));
    EXPECT_EQ(units(exporting::mapiText::toWide(narrow("ada@example.com"))), L"ada@example.com");
    EXPECT_FALSE(exporting::mapiText::isEmpty(wide(L"j\u00F6rg@example.com")));
    EXPECT_EQ(units(exporting::mapiText::toWide(wide(L"j\u00F6rg@example.com"))), L"j\u00F6rg@example.com");
    EXPECT_TRUE(exporting::mapiText::isExchangeType(narrow("EX")));
    EXPECT_TRUE(exporting::mapiText::isExchangeType(wide(L"EX")));
    EXPECT_FALSE(exporting::mapiText::isExchangeType(narrow("ex")));
    EXPECT_FALSE(exporting::mapiText::isExchangeType(wide(L"EX ")));
    EXPECT_FALSE(exporting::mapiText::isExchangeType(narrow("SMTP")));
}

TEST(MapiText, EmptyStringsErrorsAndNullPointersAreEmptyText) {
    for (const mapi::SPropValue& value : {narrow(""), wide(L""), missing(), narrow(nullptr), wide(nullptr)}) {
        EXPECT_TRUE(exporting::mapiText::isEmpty(value));
        EXPECT_FALSE(exporting::mapiText::isExchangeType(value));
        EXPECT_EQ(units(exporting::mapiText::toWide(value)), L"");
    }
}
