#include "CodePage.h"

#include "text/JsonEscape.h"

#include <gtest/gtest.h>

#include <string>

using com::WideString;
using text::escapeForJson;

namespace {

WideString wide(const std::wstring& units) { return WideString::copyOf(units.data(), units.size()); }

}  // namespace

TEST(JsonEscape, MissingAndEmptyValuesGiveNoText) {
    EXPECT_EQ(escapeForJson(WideString()), "");
    EXPECT_EQ(escapeForJson(wide(L"")), "");
    EXPECT_EQ(escapeForJson(wide(std::wstring(L"\0abc", 4))), "");
}

TEST(JsonEscape, QuoteReverseSolidusAndSolidusGainOneReverseSolidus) {
    EXPECT_EQ(escapeForJson(wide(L"a\"b\\c/d")), "a\\\"b\\\\c\\/d");
    EXPECT_EQ(escapeForJson(wide(L"02/123456")), "02\\/123456");
    EXPECT_EQ(escapeForJson(wide(L"+39 (02) 123-456")), "+39 (02) 123-456");
}

TEST(JsonEscape, EveryControlCharacterIsEscaped) {
    const char* expected[0x20] = {
        nullptr,   "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
        "\\b",     "\\t",     "\\n",     "\\u000B", "\\f",     "\\r",     "\\u000E", "\\u000F",
        "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
        "\\u0018", "\\u0019", "\\u001A", "\\u001B", "\\u001C", "\\u001D", "\\u001E", "\\u001F",
    };
    for (wchar_t control = 1; control < 0x20; ++control) {
        const std::wstring value = std::wstring(L"<") + control + L">";
        EXPECT_EQ(escapeForJson(wide(value)), std::string("<") + expected[control] + ">") << int(control);
    }
    EXPECT_EQ(escapeForJson(wide(L"\x7F")), "\x7F");
}

TEST(JsonEscape, TextAfterAnEmbeddedNulIsDropped) {
    EXPECT_EQ(escapeForJson(wide(std::wstring(L"Rossi\0\"x", 8))), "Rossi");
}

TEST(JsonEscape, WesternLettersAreSingleBytesAndBestFitResultsAreEscaped) {
    REQUIRE_ANSI_CODE_PAGE(1252);
    EXPECT_EQ(escapeForJson(wide(L"Ren\u00E9e D'\u00C0ngelo")),
              "Ren\xE9"
              "e D'\xC0ngelo");
    EXPECT_EQ(escapeForJson(wide(L"\u0416\u4E2D")), "??");
    // Full-width quotation mark, reverse solidus and solidus best-fit to ASCII.
    EXPECT_EQ(escapeForJson(wide(L"\uFF02\uFF3C\uFF0F")), "\\\"\\\\\\/");
}

TEST(JsonEscape, DoubleByteCharactersStayWhole) {
    REQUIRE_ANSI_CODE_PAGE(932);
    // Both end in the trail byte 0x5C, which must not gain a reverse solidus.
    EXPECT_EQ(escapeForJson(wide(L"\u8868\u30BD")), "\x95\x5C\x83\x5C");
    EXPECT_EQ(escapeForJson(wide(L"\u8868/\"\\")), "\x95\x5C\\/\\\"\\\\");
    // Half-width katakana are single bytes above 0x7F.
    EXPECT_EQ(escapeForJson(wide(L"\uFF71\\")), "\xB1\\\\");
    EXPECT_EQ(escapeForJson(wide(L"\u5C71\t\u7530")), "\x8E\x52\\t\x93\x63");
}
