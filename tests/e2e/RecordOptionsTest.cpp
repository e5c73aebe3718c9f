// What a caller asks of the records: every text whole in UTF-8, and each
// contact's identity and last change. The records are decoded as a caller
// that keeps texts as UTF-16 decodes them, and must give back exactly the
// units of the profile (up to their first NUL); a run that asks for nothing
// is the whole of the other tests.
#include "ExporterRun.h"
#include "Utf16Json.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace e2e;

namespace {

enum class Road { mapi, session, objectModel };

struct RoadCase {
    const char* name;
    Road road;
};

const RoadCase roads[] = {{"MapiObject", Road::mapi}, {"Session", Road::session}, {"ObjectModel", Road::objectModel}};

struct CodePageCase {
    const char* name;
    const char* locale;
};

const CodePageCase codePages[] = {{"Western1252", "C.UTF-8"}, {"Japanese932", "ja_JP.UTF-8"}};

void PrintTo(const RoadCase& road, std::ostream* out) { *out << road.name; }
void PrintTo(const CodePageCase& codePage, std::ostream* out) { *out << codePage.name; }

Json onRoad(Json profile, Road road) {
    if (road == Road::session) profile["mapiObject"] = "unmarshallable";
    if (road == Road::objectModel) profile["faults"] = objectModelRoad();
    return profile;
}

Json withRecordOptions(Json profile, const std::string& text, const std::string& fields = "") {
    if (!text.empty()) profile["environment"]["CONTACT_EXPORTER_TEXT"] = text;
    if (!fields.empty()) profile["environment"]["CONTACT_EXPORTER_FIELDS"] = fields;
    return profile;
}

// Texts no ANSI code page holds whole: Greek, CJK, an emoji, lone
// surrogates of both halves, an embedded NUL, and every character JSON
// escapes.
const std::u16string greek = u"\u0395\u03BB\u03AD\u03BD\u03B7 \u03A9mega";
const std::u16string japanese = u"\u5C71\u7530 \u592A\u90CE";
const std::u16string emoji = u"\U0001F600 ok";
const std::u16string loneSurrogates = u"a\xD800z\xDC00\xDBFF";
const std::u16string escaped = u"\"q\" \\b/s\t\x01\x1F\x7F";
const std::u16string afterNul = std::u16string(u"Rossi\0hidden", 12);

Json losslessContact() {
    return {{"FullName", utf16(greek + u" " + japanese)},
            {"FirstName", utf16(emoji)},
            {"LastName", utf16(afterNul)},
            {"MobileTelephoneNumber", utf16(escaped)},
            {"HomeTelephoneNumber", utf16(loneSurrogates)},
            {"Email1Address", utf16(u"\u00E9l\u00E8ve@\u5C71\u7530.example")},
            {"Email2Address", utf16(u"x" + loneSurrogates + u"@example.org")},
            {"Email3Address", utf16(escaped + u"@" + greek)}};
}

std::u16string cutAtNul(const std::u16string& text) { return text.substr(0, text.find(u'\0')); }

std::u16string textOf(const utf16json::Value* value) {
    EXPECT_NE(value, nullptr);
    return value != nullptr ? value->text : u"(missing)";
}

// The one record of an export, decoded.
utf16json::Value onlyRecord(const RunResult& result) {
    const std::vector<std::string> parts = lines(result.out);
    EXPECT_EQ(parts.size(), 3u) << result.out;
    EXPECT_EQ(parts.at(1), "contatti trovati: 1 / 1");
    return utf16json::parse(parts.at(0));
}

class LosslessText : public ::testing::TestWithParam<std::tuple<CodePageCase, RoadCase>> {};

}  // namespace

TEST_P(LosslessText, EveryTextComesBackWhole) {
    const auto& [codePage, road] = GetParam();
    RunOptions options;
    options.locale = codePage.locale;
    const RunResult result =
        run(withRecordOptions(onRoad({{"items", Json::array({losslessContact()})}}, road.road), "utf-8"), options);
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(endedInOrder(result));

    const utf16json::Value record = onlyRecord(result);
    EXPECT_EQ(textOf(record.member(u"displayname")), greek + u" " + japanese);
    EXPECT_EQ(textOf(record.member(u"firstname")), emoji);
    EXPECT_EQ(textOf(record.member(u"surname")), cutAtNul(afterNul));
    const utf16json::Value* phones = record.member(u"phones");
    ASSERT_NE(phones, nullptr);
    ASSERT_EQ(phones->items.size(), 2u);
    EXPECT_EQ(textOf(phones->items[0].member(u"number")), loneSurrogates);
    EXPECT_EQ(textOf(phones->items[1].member(u"number")), escaped);
    const utf16json::Value* addresses = record.member(u"emailaddrs");
    ASSERT_NE(addresses, nullptr);
    ASSERT_EQ(addresses->items.size(), 3u);
    EXPECT_EQ(addresses->items[0].text, u"\u00E9l\u00E8ve@\u5C71\u7530.example");
    EXPECT_EQ(addresses->items[1].text, u"x" + loneSurrogates + u"@example.org");
    EXPECT_EQ(addresses->items[2].text, escaped + u"@" + greek);
    // The escapes as written: a lone surrogate as \uXXXX, the rest as in
    // the ANSI form.
    EXPECT_NE(result.out.find("\"a\\ud800z\\udc00\\udbff\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\\\"q\\\" \\\\b\\/s\\t\\u0001\\u001F\x7F"), std::string::npos) << result.out;
}

// An 8-bit value of a MAPI road is text in the ANSI code page: it is
// decoded from there before it is written in UTF-8.
TEST_P(LosslessText, EightBitMapiValuesAreDecodedFromTheCodePage) {
    const auto& [codePage, road] = GetParam();
    if (road.road == Road::objectModel) GTEST_SKIP() << "the object model gives UTF-16 alone";
    const bool japanese932 = std::string(codePage.name) == "Japanese932";
    const Json bytes = japanese932 ? Json::array({0x8E, 0x52, 0x93, 0x63}) : Json::array({0x41, 0xE9, 0x80});
    const Json contact = {{"Email1Address", {{"bytes", bytes}}}, {"mapiTypes", {{"Email1Address", "PT_STRING8"}}}};
    RunOptions options;
    options.locale = codePage.locale;
    const RunResult result =
        run(withRecordOptions(onRoad({{"items", Json::array({contact})}}, road.road), "utf-8"), options);
    const utf16json::Value record = onlyRecord(result);
    ASSERT_EQ(record.member(u"emailaddrs")->items.size(), 1u);
    EXPECT_EQ(record.member(u"emailaddrs")->items[0].text, japanese932 ? u"\u5C71\u7530" : u"A\u00E9\u20AC");
}

INSTANTIATE_TEST_SUITE_P(CodePagesAndRoads, LosslessText,
                         ::testing::Combine(::testing::ValuesIn(codePages), ::testing::ValuesIn(roads)),
                         [](const ::testing::TestParamInfo<LosslessText::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

// Outside the records nothing changes: the trailer, the picture's Base64,
// the status answer and the messages are the same bytes in both forms.
TEST(LosslessText, OutsideTheRecordsTheOutputIsTheSame) {
    const Json profile = mixedProfile();
    const RunResult ansi = run(profile);
    const RunResult utf8 = run(withRecordOptions(profile, "utf-8"));
    ASSERT_EQ(lines(ansi.out).size(), lines(utf8.out).size());
    EXPECT_EQ(lines(ansi.out).end()[-2], lines(utf8.out).end()[-2]);
    const auto imageOf = [](const std::string& out) {
        const std::size_t start = out.find("{\"image\":\"");
        return start == std::string::npos ? std::string() : out.substr(start, out.find('"', start + 10) - start);
    };
    EXPECT_FALSE(imageOf(ansi.out).empty());
    EXPECT_EQ(imageOf(utf8.out), imageOf(ansi.out));

    Json versioned = profile;
    versioned["version"] = "16.0 \u00DF\u5C71";
    EXPECT_EQ(run(withRecordOptions(versioned, "utf-8"), {"-h"}).out, run(versioned, {"-h"}).out);
    EXPECT_EQ(run(withRecordOptions(versioned, "ansi", "id,modified"), {"-h"}).out, "16.0 \xC3\x9F\xE5\xB1\xB1");
}

namespace {

// Items whose EntryID and last change the profile gives, and one that takes
// the stand-in's own, in a folder that holds them three times over.
Json identifiedItems() {
    return {{"items",
             {{{"FullName", "Ada"}, {"EntryID", "00000000AA11BB22CC33DD44EE55FF6600112233445566AA"}},
              {{"class", "distlist"}},
              {{"FullName", "Bo"}, {"LastModificationTime", "2026-07-01T12:00:00"}}}},
            {"itemsRepeat", 3}};
}

class RecordFields : public ::testing::TestWithParam<RoadCase> {};

}  // namespace

TEST_P(RecordFields, IdIsTheEntryIdAndTellsTheContactsOfARepeatedFolderApart) {
    const RunResult result = run(withRecordOptions(onRoad(identifiedItems(), GetParam().road), "", "id"));
    ASSERT_EQ(result.exitCode, 0);
    const std::vector<Json> records = e2e::records(result);
    ASSERT_EQ(records.size(), 6u);
    std::set<std::string> ids;
    for (std::size_t at = 0; at < records.size(); ++at) {
        const Json& record = records[at];
        ASSERT_TRUE(record.contains("id")) << record.dump();
        const std::string id = record["id"];
        // Last first: Bo, Ada, Bo, Ada, Bo, Ada.
        if (at % 2 == 1) {
            EXPECT_EQ(id, "00000000AA11BB22CC33DD44EE55FF6600112233445566AA");
        } else {
            EXPECT_EQ(id.size(), 48u) << id;
            EXPECT_EQ(id.find_first_not_of("0123456789ABCDEF"), std::string::npos) << id;
            EXPECT_TRUE(ids.insert(id).second) << "repeated: " << id;
        }
    }
    // One EntryID a contact, whatever the road: the session's road reads it
    // already and the member takes that reading.
    EXPECT_EQ(result.count("_ContactItem.EntryID"), 6u);
    EXPECT_TRUE(endedInOrder(result));
}

INSTANTIATE_TEST_SUITE_P(Roads, RecordFields, ::testing::ValuesIn(roads),
                         [](const ::testing::TestParamInfo<RoadCase>& info) { return info.param.name; });

TEST(RecordFields, BothMembersComeLastInTheirOrderWhateverTheList) {
    Json profile = {{"items",
                     {{{"FullName", "Ada"},
                       {"MobileTelephoneNumber", "1"},
                       {"EntryID", "0A0B"},
                       {"LastModificationTime", "2026-01-02T03:04:05"}}}}};
    RunOptions options;
    options.timeZone = "UTC";
    for (const std::string list : {"id,modified", "modified,id", "modified,id,modified"}) {
        const RunResult result = run(withRecordOptions(profile, "", list), options);
        EXPECT_EQ(result.out,
                  "{\"displayname\":\"Ada\",\"emailaddrs\":[],\"phones\":[{\"type\":\"mobile\",\"number\":\"1\"}],"
                  "\"id\":\"0A0B\",\"modified\":\"2026-01-02T03:04:05Z\"}\r\ncontatti trovati: 1 / 1\r\n")
            << list;
    }
    // A failure of either call ends the walk, as any failed call does.
    for (const std::string operation : {"_ContactItem.EntryID", "_ContactItem.LastModificationTime"}) {
        const RunResult failed =
            run(withFaults(withRecordOptions(profile, "", "id,modified"), Json::array({fault(operation)})), options);
        EXPECT_EQ(failed.out.find("contatti trovati"), std::string::npos) << operation;
        EXPECT_EQ(failed.out.rfind("{\"displayname\":\"Ada\"", 0), 0u) << operation;
        EXPECT_TRUE(endedInOrder(failed)) << operation;
    }
    // No entry id, or no date, is not written as if it were one.
    for (const std::string operation : {"_ContactItem.EntryID", "_ContactItem.LastModificationTime"}) {
        const RunResult empty = run(
            withFaults(withRecordOptions(profile, "", "id,modified"), Json::array({nullResult(operation)})), options);
        EXPECT_EQ(empty.out.find("contatti trovati"), std::string::npos) << operation;
    }
}

namespace {

struct LocalTime {
    const char* local;     // the item's LastModificationTime, Windows' local time
    const char* expected;  // "modified"
    const char* why;
};

// The items' local times, and what each is in UTC under `zone`.
void expectModified(const std::string& zone, const std::vector<LocalTime>& times) {
    Json items = Json::array();
    for (const LocalTime& time : times) items.push_back({{"LastModificationTime", time.local}});
    RunOptions options;
    options.timeZone = zone;
    const RunResult result = run(withRecordOptions({{"items", items}}, "", "modified"), options);
    const std::vector<Json> records = e2e::records(result);
    ASSERT_EQ(records.size(), times.size()) << result.out;
    for (std::size_t at = 0; at < times.size(); ++at) {
        // The walk goes from the last item to the first.
        const LocalTime& time = times[times.size() - 1 - at];
        EXPECT_EQ(records[at].value("modified", ""), time.expected) << zone << ": " << time.local << ", " << time.why;
    }
}

}  // namespace

TEST(RecordFields, ModifiedIsUtcByWindowsRulesForThatDate) {
    expectModified("Europe/Rome", {{"2026-01-15T10:00:00", "2026-01-15T09:00:00Z", "winter, UTC+1"},
                                   {"2026-03-29T01:59:59", "2026-03-29T00:59:59Z", "just before clocks go forward"},
                                   {"2026-03-29T03:00:00", "2026-03-29T01:00:00Z", "just after clocks go forward"},
                                   {"2026-03-29T02:30:00", "2026-03-29T00:30:00Z", "skipped: read as summer time"},
                                   {"2026-10-25T02:30:00", "2026-10-25T00:30:00Z", "twice: the first, summer time"},
                                   {"2026-10-25T03:00:00", "2026-10-25T02:00:00Z", "after clocks go back"},
                                   {"2026-01-01T00:30:00", "2025-12-31T23:30:00Z", "the UTC date is the day before"},
                                   {"2026-07-01T12:00:00", "2026-07-01T10:00:00Z", "summer, UTC+2"}});
    expectModified("America/New_York",
                   {{"2026-07-01T22:30:00", "2026-07-02T02:30:00Z", "the UTC date is the day after"},
                    {"2026-03-08T02:30:00", "2026-03-08T06:30:00Z", "skipped: read as summer time"},
                    {"2026-11-01T01:30:00", "2026-11-01T05:30:00Z", "twice: the first, summer time"},
                    // The rules of each year: daylight saving began on the
                    // first Sunday of April until 2006, on the second
                    // Sunday of March from 2007.
                    {"2006-03-20T12:00:00", "2006-03-20T17:00:00Z", "2006: still winter"},
                    {"2007-03-20T12:00:00", "2007-03-20T16:00:00Z", "2007: already summer"}});
}

// A value the exporter does not know is refused before Outlook is started:
// exit code 1, nothing on standard output (the status query answers "ko"),
// and the variable's message on standard error.
TEST(RecordOptions, AValueTheExporterDoesNotKnowIsRefusedBeforeAnythingIsRead) {
    const struct {
        const char* text;
        const char* fields;
        const char* message;
    } refusals[] = {
        {"latin-1", "", "CONTACT_EXPORTER_TEXT accepts ansi or utf-8"},
        {"UTF8", "id", "CONTACT_EXPORTER_TEXT accepts ansi or utf-8"},
        {"utf-8", "id,colour", "CONTACT_EXPORTER_FIELDS accepts a comma-separated list of the names id and modified"},
        {"", "id,,modified", "CONTACT_EXPORTER_FIELDS accepts a comma-separated list of the names id and modified"},
    };
    for (const auto& refusal : refusals) {
        for (const std::string server : {"inprocess", "local"}) {
            Json profile = withRecordOptions(mixedProfile(), refusal.text, refusal.fields);
            profile["server"] = server;
            for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"-h"}}) {
                const std::string what =
                    std::string(refusal.text) + " " + refusal.fields + " " + server + (arguments.empty() ? "" : " -h");
                const RunResult result = run(profile, arguments);
                EXPECT_EQ(result.exitCode, 1) << what;
                EXPECT_EQ(result.out, arguments.empty() ? "" : "ko") << what;
                EXPECT_EQ(result.err, refusal.message) << what;
                EXPECT_FALSE(result.journalHas("Outlook.Application.create")) << what;
                EXPECT_FALSE(result.journalHas("MAPIInitialize")) << what;
            }
        }
    }
}
