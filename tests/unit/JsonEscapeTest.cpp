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

namespace {

std::string utf8(const std::wstring& units) { return escapeForJson(wide(units), text::RecordEncoding::utf8); }

}  // namespace

// In UTF-8 every character comes out whole, whatever the code page holds,
// and the escaping is the one of the ANSI form.
TEST(JsonEscapeUtf8, EveryCharacterComesOutWhole) {
    EXPECT_EQ(utf8(L"Ren\u00E9e \u03A9mega \u5C71\u7530 \u20AC"),
              "Ren\xC3\xA9"
              "e \xCE\xA9mega \xE5\xB1\xB1\xE7\x94\xB0 \xE2\x82\xAC");
    // An emoji: a surrogate pair, four bytes.
    EXPECT_EQ(utf8(L"\xD83D\xDE00!"), "\xF0\x9F\x98\x80!");
    // U+FFFF and U+10FFFF, the last of each plane.
    EXPECT_EQ(utf8(L"\xFFFF\xDBFF\xDFFF"), "\xEF\xBF\xBF\xF4\x8F\xBF\xBF");
    EXPECT_EQ(utf8(L"a\"b\\c/d\t\x01\x1F\x7F"), "a\\\"b\\\\c\\/d\\t\\u0001\\u001F\x7F");
    EXPECT_EQ(utf8(std::wstring(L"Rossi\0\"x", 8)), "Rossi");
    EXPECT_EQ(escapeForJson(WideString(), text::RecordEncoding::utf8), "");
}

// A surrogate without its other half cannot be UTF-8: it is written as its
// JSON escape, so the text is kept and the output stays valid.
TEST(JsonEscapeUtf8, ALoneSurrogateIsWrittenAsItsEscape) {
    EXPECT_EQ(utf8(L"\xD800"), "\\ud800");
    EXPECT_EQ(utf8(L"a\xDC00z"), "a\\udc00z");
    EXPECT_EQ(utf8(L"\xDBFF\xDBFF\xDFFF"), "\\udbff\xF4\x8F\xBF\xBF");
    EXPECT_EQ(utf8(L"\xDFFF\xD800"), "\\udfff\\ud800");
}

// Two addresses are the same entry's when they are written alike: in the
// ANSI code page different characters can become the same bytes, in UTF-8
// they cannot.
TEST(JsonEscape, TextsWrittenAlike) {
    using text::RecordEncoding;
    using text::writtenAlike;
    EXPECT_TRUE(writtenAlike(wide(L"/o=A/cn=x"), wide(std::wstring(L"/o=A/cn=x\0y", 11)), RecordEncoding::utf8));
    EXPECT_FALSE(writtenAlike(wide(L"/o=A/cn=x"), wide(L"/o=A/cn=X"), RecordEncoding::utf8));
    EXPECT_TRUE(writtenAlike(WideString(), wide(L""), RecordEncoding::utf8));
    EXPECT_FALSE(writtenAlike(wide(L"\u0416"), wide(L"\u4E2D"), RecordEncoding::utf8));
    REQUIRE_ANSI_CODE_PAGE(1252);
    EXPECT_TRUE(writtenAlike(wide(L"\u0416"), wide(L"\u4E2D"), RecordEncoding::ansi));
}
