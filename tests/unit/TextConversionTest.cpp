#include "CodePage.h"

#include "platform/com/ComError.h"
#include "platform/com/Variant.h"
#include "text/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

using com::WideString;

namespace {

WideString wide(const std::wstring& units) { return WideString::copyOf(units.data(), units.size()); }

}  // namespace

TEST(TextConversion, Utf8KeepsEveryCharacter) {
    const std::wstring original = L"C:\\Users\\J\u00F6rg \u0160ime\u010Dek\\\U0001F600\\";
    EXPECT_EQ(text::wideToUtf8(original.data(), original.size()),
              "C:\\Users\\J\xC3\xB6rg \xC5\xA0ime\xC4\x8D"
              "ek\\\xF0\x9F\x98\x80\\");
}

TEST(TextConversion, EmptyTextsStayEmpty) {
    EXPECT_EQ(text::wideToUtf8(L"", 0), "");
    EXPECT_EQ(text::wideToAnsi(WideString()), "");
    EXPECT_EQ(text::wideToAnsi(wide(L"")), "");
    const WideString fromEmpty = text::ansiToWide("");
    EXPECT_FALSE(fromEmpty.isNull());
    EXPECT_EQ(fromEmpty.length(), 0u);
    EXPECT_TRUE(text::ansiToWide(nullptr).isNull());
}

TEST(TextConversion, ConversionsStopAtTheFirstNul) {
    EXPECT_EQ(text::wideToAnsi(wide(std::wstring(L"ab\0cd", 5))), "ab");
    const WideString fromAnsi = text::ansiToWide(std::string("xy\0z", 4).c_str());
    EXPECT_EQ(std::wstring(fromAnsi.get(), fromAnsi.length()), L"xy");
}

TEST(TextConversion, WideStringKeepsNulUnitsAndIsSharedByItsCopies) {
    const WideString value = wide(std::wstring(L"a\0b", 3));
    EXPECT_EQ(value.length(), 3u);
    EXPECT_EQ(value.lengthToFirstNul(), 1u);
    const WideString copy = value;
    EXPECT_EQ(copy.get(), value.get());
    EXPECT_EQ(text::wideToAnsi(value), "a");
}

TEST(TextConversion, AnsiOnWesternCodePage) {
    REQUIRE_ANSI_CODE_PAGE(1252);
    EXPECT_EQ(text::wideToAnsi(wide(L"Fran\u00E7ois M\u00FCller \u20AC")), "Fran\xE7ois M\xFCller \x80");
    EXPECT_EQ(text::wideToAnsi(wide(L"\u0416")), "?");
    const WideString back = text::ansiToWide("Jos\xE9");
    EXPECT_EQ(std::wstring(back.get(), back.length()), L"Jos\u00E9");
}

TEST(TextConversion, AnsiOnJapaneseCodePage) {
    REQUIRE_ANSI_CODE_PAGE(932);
    EXPECT_EQ(text::wideToAnsi(wide(L"\u8868\u30BD")), "\x95\x5C\x83\x5C");
    const WideString back = text::ansiToWide("\x95\x5C");
    EXPECT_EQ(std::wstring(back.get(), back.length()), L"\u8868");
}

TEST(TextConversion, VariantToWideCopiesOrChangesTheType) {
    com::Variant text;
    text->vt = VT_BSTR;
    text->bstrVal = SysAllocStringLen(L"smtp\0tail", 9);
    const WideString copied = com::variantToWide(*text);
    EXPECT_NE(copied.get(), text->bstrVal);
    EXPECT_EQ(std::wstring(copied.get(), copied.length()), L"smtp");

    com::Variant number;
    number->vt = VT_I4;
    number->lVal = 42;
    const WideString changed = com::variantToWide(*number);
    EXPECT_EQ(std::wstring(changed.get(), changed.length()), L"42");

    com::Variant object;
    object->vt = VT_DISPATCH;
    object->pdispVal = nullptr;
    EXPECT_THROW(com::variantToWide(*object), com::ComError);
}

// The runs that set EXPECTED_ANSI_CODE_PAGE check that they got it, so that
// the code page's own tests cannot pass by being skipped.
TEST(TextConversion, RunsOnTheExpectedCodePage) {
    char expected[16] = {};
    if (GetEnvironmentVariableA("EXPECTED_ANSI_CODE_PAGE", expected, sizeof expected) == 0) {
        GTEST_SKIP() << "no code page expected";
    }
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::stoul(expected)));
}
