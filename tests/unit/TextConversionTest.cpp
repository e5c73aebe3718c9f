#include "CodePage.h"

#include "platform/ComError.h"
#include "platform/Variant.h"
#include "text/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

using text::WideString;

namespace {

WideString wide(const std::wstring& units) { return WideString::copyOf(units.data(), units.size()); }

}  // namespace

TEST(TextConversion, Utf8RoundTripKeepsEveryCharacter) {
    const std::wstring original = L"C:\\Users\\J\u00F6rg \u0160ime\u010Dek\\\U0001F600\\";
    const std::string utf8 = text::wideToUtf8(original.data(), original.size());
    EXPECT_EQ(utf8,
              "C:\\Users\\J\xC3\xB6rg \xC5\xA0ime\xC4\x8D"
              "ek\\\xF0\x9F\x98\x80\\");
    const WideString back = text::utf8ToWide(utf8);
    EXPECT_EQ(std::wstring(back.get(), back.length()), original);
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
    const WideString fromUtf8 = text::utf8ToWide(std::string("ab\0cd", 5));
    EXPECT_EQ(fromUtf8.length(), 2u);
    const WideString fromAnsi = text::ansiToWide(std::string("xy\0z", 4));
    EXPECT_EQ(std::wstring(fromAnsi.get(), fromAnsi.length()), L"xy");
}

TEST(TextConversion, WideStringKeepsNulUnitsAndCachesItsNarrowForm) {
    const WideString value = wide(std::wstring(L"a\0b", 3));
    EXPECT_EQ(value.length(), 3u);
    EXPECT_EQ(value.lengthToFirstNul(), 1u);
    const WideString copy = value;
    EXPECT_EQ(copy.get(), value.get());
    EXPECT_EQ(&copy.ansi(), &value.ansi());
    EXPECT_EQ(value.ansi(), "a");
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
    platform::Variant text;
    text->vt = VT_BSTR;
    text->bstrVal = SysAllocStringLen(L"smtp\0tail", 9);
    const WideString copied = text::variantToWide(*text);
    EXPECT_NE(copied.get(), text->bstrVal);
    EXPECT_EQ(std::wstring(copied.get(), copied.length()), L"smtp");

    platform::Variant number;
    number->vt = VT_I4;
    number->lVal = 42;
    const WideString changed = text::variantToWide(*number);
    EXPECT_EQ(std::wstring(changed.get(), changed.length()), L"42");

    platform::Variant object;
    object->vt = VT_DISPATCH;
    object->pdispVal = nullptr;
    EXPECT_THROW(text::variantToWide(*object), platform::ComError);
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
