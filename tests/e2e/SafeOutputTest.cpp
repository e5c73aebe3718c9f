// Any text Outlook may hold is written safely: random profiles of UTF-16
// with lone surrogates, embedded NULs, every control character, characters
// the code page only approximates or cannot hold, and strings of up to 64K
// units. A Windows-side check reads every record as a caller would (decoded
// from the ANSI code page, parsed as strict JSON) and compares each value
// with the code page's own conversion of the profile's text.
//
// The same check at volume (SafeOutputVolume, run by scripts/soak): one
// random profile after another until SOAK_RECORDS records have been checked,
// half on code page 1252 and half on 932, every profile on both e-mail
// roads. A seed decides its profile whole, its code page included (even
// seeds 1252, odd seeds 932).
//
// The seeds: each random check of the soak (the two volume checks, the
// session's road against the local server, Outlook going away, the session
// failing) counts its seeds up from a first seed of its own, SOAK_BASE_SEED
// plus the check's offset, a million apart, so that no two checks share a
// seed. scripts/soak picks a new base for every run; without it the base is
// 1000, so that scripts/test checks the same profiles every time. Every
// profile's seed is printed, and SOAK_SEED=N checks the profile of seed N
// alone in each of those checks, whatever the base: so any seed printed is
// replayed.
//
// Every profile is also exported with MAPI objects that give no IMAPIProp,
// as Outlook's do in another process: the addresses then come through a
// MAPI session of the exporter's own, and the export must be the MAPI
// road's byte for byte; Outlook denies every security prompt, and none is
// ever shown.
//
// The same profiles in UTF-8 with both record fields (SafeOutputUtf8, and at
// volume in the soak): every record is read as a caller that keeps texts as
// UTF-16 reads it, and must give back the profile's exact units, with each
// item's EntryID and last change in UTC.

#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>

using namespace e2e;

namespace {

const char* const textMembers[] = {"FullName",
                                   "FirstName",
                                   "LastName",
                                   "BusinessTelephoneNumber",
                                   "Business2TelephoneNumber",
                                   "BusinessFaxNumber",
                                   "HomeTelephoneNumber",
                                   "Home2TelephoneNumber",
                                   "HomeFaxNumber",
                                   "CompanyMainTelephoneNumber",
                                   "OtherTelephoneNumber",
                                   "PrimaryTelephoneNumber",
                                   "MobileTelephoneNumber",
                                   "Email1Address",
                                   "Email2Address",
                                   "Email3Address"};

class TextGenerator {
public:
    explicit TextGenerator(unsigned seed) : random(seed) {}

    std::u16string text(std::size_t length) {
        std::u16string units;
        while (units.size() < length) append(units);
        units.resize(length);
        return units;
    }

    std::size_t length() {
        const unsigned roll = pick(100);
        if (roll < 15) return 0;
        if (roll < 85) return 1 + pick(40);
        if (roll < 98) return 41 + pick(2000);
        return 2041 + pick(65535 - 2041);
    }

    unsigned pick(unsigned bound) { return static_cast<unsigned>(random() % bound); }

private:
    void append(std::u16string& units) {
        static const char16_t special[] = {u'"', u'\\', u'/', u'\'', u'{', u'}', u'[', u']', u':', u',', u' '};
        static const char16_t bestFit[] = {0xFF02, 0xFF3C, 0xFF0F, 0x0100, 0x0141, 0x2215, 0x00A0, 0x2018,
                                           0x2019, 0x201C, 0x201D, 0x2014, 0x20AC, 0x0192, 0x02C6, 0x2122};
        switch (pick(14)) {
        case 0: units += static_cast<char16_t>(1 + pick(0x1F)); break;  // control characters
        case 1: units += u'\0'; break;                                  // embedded NUL
        case 2: units += special[pick(sizeof special / sizeof special[0])]; break;
        case 3: units += bestFit[pick(sizeof bestFit / sizeof bestFit[0])]; break;
        case 4: units += static_cast<char16_t>(0xC0 + pick(0x40)); break;      // Western letters
        case 5: units += static_cast<char16_t>(0x4E00 + pick(0x5000)); break;  // CJK ideographs
        case 6: units += static_cast<char16_t>(0x3040 + pick(0xC0)); break;    // kana
        case 7: units += static_cast<char16_t>(0xFF61 + pick(0x3F)); break;    // half-width katakana
        case 8: units += static_cast<char16_t>(0x0400 + pick(0x100)); break;   // Cyrillic
        case 9: units += static_cast<char16_t>(0xD800 + pick(0x400)); break;   // lone high surrogate
        case 10: units += static_cast<char16_t>(0xDC00 + pick(0x400)); break;  // lone low surrogate
        case 11:                                                               // a valid pair
            units += static_cast<char16_t>(0xD83D);
            units += static_cast<char16_t>(0xDE00 + pick(0x50));
            break;
        case 12: units += static_cast<char16_t>(1 + pick(0xD7FF)); break;   // anything below the surrogates
        default: units += static_cast<char16_t>(0x20 + pick(0x5F)); break;  // printable ASCII
        }
    }

    std::mt19937 random;
};

// The three ways to the e-mail addresses: the contacts' MAPI objects; the
// object model, taken when MAPI is not loaded; and a MAPI session of the
// exporter's own, taken when the contacts' MAPI objects give no IMAPIProp.
enum class Road { mapi, objectModel, session };
constexpr Road roads[] = {Road::mapi, Road::objectModel, Road::session};

const char* roadName(Road road) {
    switch (road) {
    case Road::mapi: return "";
    case Road::objectModel: return ", object-model road";
    case Road::session: return ", session road";
    }
    return "";
}

// Each item's EntryID and last change, which the fields ask for; the
// dates fall in every season, across the change of the clocks and on it.
void identify(Json& item, TextGenerator& generator, std::size_t index) {
    char entryId[49];
    std::snprintf(entryId, sizeof entryId, "0000000038A1BB1005E5101AA1BB08002B2A56C2%08X",
                  static_cast<unsigned>(index));
    item["EntryID"] = entryId;
    char local[20];
    std::snprintf(local, sizeof local, "%04u-%02u-%02uT%02u:%02u:%02u", 1995 + generator.pick(40),
                  1 + generator.pick(12), 1 + generator.pick(28), generator.pick(24), generator.pick(60),
                  generator.pick(60));
    item["LastModificationTime"] = local;
}

Json randomProfile(unsigned seed, Road road, int randomItems = 30, bool identified = false) {
    TextGenerator generator(seed);
    Json items = Json::array();
    std::u16string everyControl;
    for (char16_t control = 1; control < 0x20; ++control) everyControl += control;
    items.push_back({{"FullName", utf16(everyControl)}, {"Email1Address", utf16(u"a\0b" + everyControl)}});
    for (int index = 0; index < randomItems; ++index) {
        if (generator.pick(10) == 0) {
            items.push_back({{"class", "distlist"}});
            continue;
        }
        Json contact = Json::object();
        for (const char* member : textMembers) {
            if (generator.pick(4) == 0) continue;
            contact[member] = utf16(generator.text(generator.length()));
        }
        items.push_back(contact);
    }
    if (identified) {
        for (std::size_t index = 0; index < items.size(); ++index) identify(items[index], generator, index);
    }
    Json profile = {{"items", items}};
    if (road == Road::objectModel) profile["faults"] = e2e::objectModelRoad();
    if (road == Road::session) {
        profile["mapiObject"] = "unmarshallable";
        profile["guard"] = "denied";
    }
    return profile;
}

std::optional<unsigned long long> environmentNumber(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::stoull(value);
}

// The random checks of the soak, each with seeds of its own: the first seed
// of check C is the base plus C times `seedsPerCheck`.
enum class SeedCheck : unsigned { volume, utf8Volume, localSession, departures, sessionFaults };
constexpr unsigned seedsPerCheck = 1'000'000;
constexpr unsigned defaultBaseSeed = 1000;
// The largest base: its checks' seeds stay far below 2^32.
constexpr unsigned long long largestBaseSeed = 2'000'000'000;

// SOAK_BASE_SEED, or the fixed base; even, so that the volume checks' shard
// 0 starts on code page 1252.
unsigned baseSeed() {
    const unsigned long long base = environmentNumber("SOAK_BASE_SEED").value_or(defaultBaseSeed);
    if (base > largestBaseSeed || base % 2 != 0) {
        throw std::out_of_range("SOAK_BASE_SEED must be an even number up to " + std::to_string(largestBaseSeed));
    }
    return static_cast<unsigned>(base);
}

unsigned firstSeedOf(SeedCheck check) { return baseSeed() + static_cast<unsigned>(check) * seedsPerCheck; }

// SOAK_SEED, the one seed to check instead of a check's own.
std::optional<unsigned> replayedSeed() {
    const std::optional<unsigned long long> seed = environmentNumber("SOAK_SEED");
    if (!seed) return std::nullopt;
    if (*seed > std::numeric_limits<unsigned>::max()) throw std::out_of_range("SOAK_SEED is too large");
    return static_cast<unsigned>(*seed);
}

// The seeds of one check that takes `countVariable` profiles (by default
// `defaultCount`) from its first seed up; SOAK_SEED alone when set.
struct SeedRange {
    unsigned first;
    unsigned long long count;
};

SeedRange seedsOf(SeedCheck check, const char* countVariable, unsigned long long defaultCount) {
    if (const std::optional<unsigned> seed = replayedSeed()) return {*seed, 1};
    return {firstSeedOf(check), environmentNumber(countVariable).value_or(defaultCount)};
}

struct CodePageCase {
    const char* name;
    const char* locale;
    unsigned codePage;
};

const CodePageCase codePages[] = {{"Western1252", "C.UTF-8", 1252}, {"Japanese932", "ja_JP.UTF-8", 932}};
// The seeds of the generated profiles; a failure names its seed.
const unsigned seeds[] = {11, 23, 37, 41, 59, 67};

void PrintTo(const CodePageCase& codePage, std::ostream* out) { *out << codePage.name; }

// record-check's verdict on a run's export, read on the code page as a
// Windows caller reads it and compared value by value with the run's profile.
ToolResult recordCheck(const RunResult& result, const CodePageCase& codePage,
                       const std::vector<std::string>& modes = {}, const std::string& timeZone = "") {
    writeFile(result.folder + "/stdout.bin", result.out);
    std::vector<std::string> arguments = modes;
    arguments.push_back(windowsPath(result.folder + "/profile.json"));
    arguments.push_back(windowsPath(result.folder + "/stdout.bin"));
    return runWindowsTool("record-check.exe", arguments, codePage.locale, timeZone);
}

// A run that ended by itself, with exit code 0, nothing on standard error,
// and every object released.
void expectCleanEnd(const RunResult& result, const std::string& where) {
    EXPECT_FALSE(result.hung) << where;
    EXPECT_EQ(result.exitCode, 0) << where;
    EXPECT_EQ(result.err, "") << where;
    EXPECT_TRUE(endedInOrder(result)) << where;
}

// A session's run writes what the MAPI road writes, and shows no prompt.
void expectTheMapiRoadsExport(const RunResult& result, const std::string& throughMapi, const std::string& where) {
    EXPECT_EQ(result.out, throughMapi) << where;
    EXPECT_FALSE(result.journalHas("guard prompt")) << where;
}

class SafeOutput : public ::testing::TestWithParam<std::tuple<CodePageCase, unsigned>> {};

TEST_P(SafeOutput, EveryRecordParsesAndEveryValueIsTheCodePagesConversion) {
    const auto& [codePage, seed] = GetParam();
    std::string throughMapi;
    for (const Road road : roads) {
        const Json profile = randomProfile(seed, road);
        RunOptions options;
        options.locale = codePage.locale;
        const RunResult result = run(profile, options);
        ASSERT_FALSE(result.hung);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(endedInOrder(result));
        if (road == Road::mapi) throughMapi = result.out;
        if (road == Road::session) {
            expectTheMapiRoadsExport(result, throughMapi, "seed " + std::to_string(seed));
            continue;
        }

        const ToolResult check = recordCheck(result, codePage);
        EXPECT_EQ(check.exitCode, 0) << "seed " << seed << roadName(road) << ": " << check.output;
        EXPECT_NE(check.output.find("on code page " + std::to_string(codePage.codePage)), std::string::npos)
            << check.output;
        std::cout << codePage.name << " seed " << seed << roadName(road) << ": " << check.output;
    }
}

std::string caseName(const ::testing::TestParamInfo<SafeOutput::ParamType>& info) {
    return std::string(std::get<0>(info.param).name) + "Seed" + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(RandomProfiles, SafeOutput,
                         ::testing::Combine(::testing::ValuesIn(codePages), ::testing::ValuesIn(seeds)), caseName);

// Against the local server the contacts' MAPI objects never cross: the
// session's road writes the in-process MAPI road's export, and no prompt is
// shown. SOAK_LOCAL_SESSION_PROFILES sets the number of random profiles
// (code pages in turn); by default one a code page.
TEST(SafeOutputLocalServer, TheSessionsRoadWritesTheMapiRoadsExport) {
    const SeedRange seeds = seedsOf(SeedCheck::localSession, "SOAK_LOCAL_SESSION_PROFILES", 2);
    std::size_t runs = 0;
    std::size_t records = 0;
    for (unsigned long long index = 0; index < seeds.count && !HasFailure(); ++index) {
        const unsigned seed = seeds.first + static_cast<unsigned>(index);
        const CodePageCase& codePage = codePages[seed % 2];
        RunOptions options;
        options.locale = codePage.locale;
        const RunResult throughMapi = run(randomProfile(seed, Road::mapi), options);
        Json profile = randomProfile(seed, Road::session);
        profile["server"] = "local";
        const RunResult result = run(profile, options);
        runs += 2;
        const std::string where = "seed " + std::to_string(seed);
        EXPECT_EQ(result.exitCode, 0) << where;
        EXPECT_EQ(result.err, "") << where;
        EXPECT_TRUE(endedInOrder(result)) << where;
        expectTheMapiRoadsExport(result, throughMapi.out, where);
        records += lines(result.out).size() - 2;
        std::cout << "local-server seed " << seed << " (code page " << codePage.codePage
                  << "): the session's road wrote the MAPI road's export" << std::endl;
    }
    std::cout << "soak figures local-session: runs " << runs << " records " << records << " made-again "
              << runsMadeAgain() << std::endl;
}

namespace {

// The time zones the UTF-8 runs take, one a seed: with and without daylight
// saving, both hemispheres. The zone moves on one with every seed, and one
// more every fourth seed: the seed's parity is its code page, and so every
// zone meets both code pages.
const char* const timeZones[] = {"Europe/Rome", "America/New_York", "Australia/Sydney", "Asia/Tokyo"};

const char* timeZoneOfSeed(unsigned seed) { return timeZones[(seed + seed / 4) % std::size(timeZones)]; }

// Exports the seed's profile, with EntryIDs and dates, in UTF-8 with both
// fields on the three roads, and checks every record; returns the number of
// records checked.

std::size_t checkUtf8(unsigned seed, const CodePageCase& codePage, int randomItems, int itemsRepeat) {
    const std::string timeZone = timeZoneOfSeed(seed);
    std::size_t checked = 0;
    std::string throughMapi;
    for (const Road road : roads) {
        Json profile = randomProfile(seed, road, randomItems, true);
        profile["itemsRepeat"] = itemsRepeat;
        profile["environment"]["CONTACT_EXPORTER_TEXT"] = "utf-8";
        profile["environment"]["CONTACT_EXPORTER_FIELDS"] = "id,modified";
        RunOptions options;
        options.locale = codePage.locale;
        options.timeZone = timeZone;
        const RunResult result = run(profile, options);
        const std::string where = "utf-8 seed " + std::to_string(seed) + roadName(road) + " in " + timeZone;
        expectCleanEnd(result, where);
        if (road == Road::mapi) throughMapi = result.out;
        if (road == Road::session) {
            expectTheMapiRoadsExport(result, throughMapi, where);
            if (!::testing::Test::HasFailure()) std::filesystem::remove_all(result.folder);
            continue;
        }
        const ToolResult check = recordCheck(result, codePage, {"--utf-8", "--fields"}, timeZone);
        const std::string prefix = "checked ";
        const bool counted = check.exitCode == 0 && check.output.rfind(prefix, 0) == 0 &&
                             check.output.find(" records in UTF-8") != std::string::npos;
        EXPECT_TRUE(counted) << where << ": " << check.output;
        if (!counted || ::testing::Test::HasFailure()) return checked;
        checked += std::stoul(check.output.substr(prefix.size()));
        std::filesystem::remove_all(result.folder);
    }
    return checked;
}

}  // namespace

TEST(SafeOutputUtf8, EveryRecordGivesBackTheProfilesUnitsWithItsIdentity) {
    for (const CodePageCase& codePage : codePages) {
        const std::size_t checked = checkUtf8(seeds[1], codePage, 30, 2);
        std::cout << codePage.name << " seed " << seeds[1] << ": " << checked << " records checked in UTF-8\n";
    }
}

}  // namespace

namespace {

// Volume profiles: a hundred random items, the folder holding them four times
// over; record-check compares every record with the item it came from.
constexpr int volumeRandomItems = 100;
constexpr int volumeItemsRepeat = 4;
constexpr int volumeShards = 8;  // four per code page, seeds interleaved

const CodePageCase& codePageOfSeed(unsigned seed) { return codePages[seed % 2]; }

// Exports the seed's profile on the three roads and checks every record;
// returns the number of records checked. A run whose check passed leaves no
// files.
std::size_t checkSeed(unsigned seed) {
    const CodePageCase& codePage = codePageOfSeed(seed);
    std::size_t checked = 0;
    std::string throughMapi;
    for (const Road road : roads) {
        Json profile = randomProfile(seed, road, volumeRandomItems);
        profile["itemsRepeat"] = volumeItemsRepeat;
        RunOptions options;
        options.locale = codePage.locale;
        const RunResult result = run(profile, options);
        const std::string where = "seed " + std::to_string(seed) + roadName(road);
        expectCleanEnd(result, where);
        if (road == Road::mapi) throughMapi = result.out;
        if (road == Road::session) {
            // The MAPI road's records, byte for byte: checked already.
            expectTheMapiRoadsExport(result, throughMapi, where);
            if (::testing::Test::HasFailure()) return checked;
            std::filesystem::remove_all(result.folder);
            continue;
        }

        const ToolResult check = recordCheck(result, codePage);
        EXPECT_EQ(check.exitCode, 0) << where << ": " << check.output;
        const std::string prefix = "checked ";
        const std::string suffix = " records on code page " + std::to_string(codePage.codePage);
        const bool counted =
            check.exitCode == 0 && check.output.rfind(prefix, 0) == 0 && check.output.find(suffix) != std::string::npos;
        EXPECT_TRUE(counted) << where << ": " << check.output;
        if (!counted || ::testing::Test::HasFailure()) return checked;
        checked += std::stoul(check.output.substr(prefix.size()));
        std::filesystem::remove_all(result.folder);
    }
    std::cout << "seed " << seed << " (code page " << codePage.codePage << "): " << checked
              << " records checked on two roads, and the session road's export is the MAPI road's" << std::endl;
    return checked;
}

std::size_t checkUtf8Seed(unsigned seed) {
    const CodePageCase& codePage = codePageOfSeed(seed);
    const std::size_t checked = checkUtf8(seed, codePage, volumeRandomItems, volumeItemsRepeat);
    std::cout << "utf-8 seed " << seed << " (code page " << codePage.codePage << ", " << timeZoneOfSeed(seed)
              << "): " << checked << " records checked on two roads" << std::endl;
    return checked;
}

// One volume check: shard `shard` of `volumeShards` takes seeds from the
// check's first seed (even) plus the shard, checking each with
// `checkOneSeed`, until its share of the target in `targetVariable` is
// reached; without a target, shards 0 and 1 check one seed each (one per
// code page). SOAK_SEED=N checks seed N alone, in shard 0.
template <typename CheckOneSeed>
void checkVolume(int shard, SeedCheck check, const char* targetVariable, const std::string& figures,
                 CheckOneSeed&& checkOneSeed) {
    const std::optional<unsigned> replay = replayedSeed();
    unsigned firstSeed = replay ? *replay : firstSeedOf(check) + static_cast<unsigned>(shard);
    std::size_t records = 0;
    std::size_t runs = 0;
    if (replay) {
        if (shard != 0) GTEST_SKIP() << "SOAK_SEED replays one seed, in shard 0";
        records = checkOneSeed(firstSeed);
        runs = std::size(roads);
    } else if (const std::optional<unsigned long long> target = environmentNumber(targetVariable)) {
        // Each code page takes half of the target, shared by its shards.
        const unsigned long long shardTarget = (*target + volumeShards - 1) / volumeShards;
        for (unsigned seed = firstSeed; records < shardTarget && !::testing::Test::HasFailure(); seed += volumeShards) {
            records += checkOneSeed(seed);
            runs += std::size(roads);
        }
    } else {
        if (shard > 1) GTEST_SKIP() << targetVariable << " sets a target for every shard";
        records = checkOneSeed(firstSeed);
        runs = std::size(roads);
    }
    std::cout << "soak figures " << figures << codePageOfSeed(firstSeed).codePage << ": runs " << runs << " records "
              << records << " made-again " << runsMadeAgain() << std::endl;
}

class SafeOutputVolume : public ::testing::TestWithParam<int> {};

TEST_P(SafeOutputVolume, RandomProfilesUntilTheTargetIsChecked) {
    checkVolume(GetParam(), SeedCheck::volume, "SOAK_RECORDS", "random-", checkSeed);
}

class SafeOutputUtf8Volume : public ::testing::TestWithParam<int> {};

TEST_P(SafeOutputUtf8Volume, RandomProfilesInUtf8WithBothFieldsUntilTheTargetIsChecked) {
    checkVolume(GetParam(), SeedCheck::utf8Volume, "SOAK_UTF8_RECORDS", "random-utf8-", checkUtf8Seed);
}

INSTANTIATE_TEST_SUITE_P(Soak, SafeOutputUtf8Volume, ::testing::Range(0, volumeShards),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Shard" + std::to_string(info.param);
                         });

INSTANTIATE_TEST_SUITE_P(Soak, SafeOutputVolume, ::testing::Range(0, volumeShards),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Shard" + std::to_string(info.param);
                         });

}  // namespace

namespace {

const char* serverLabel(bool local) { return local ? "local server" : "in process"; }

// Outlook goes away at a random point of a random profile's export (on a
// random e-mail road): the run ends promptly with a byte prefix of the clean
// output and no trailer, and in process every object is released.
// SOAK_DEPARTURES sets the number of runs for each server; by default one.
class OutlookGoesAwayAtRandom : public ::testing::TestWithParam<std::string> {};

TEST_P(OutlookGoesAwayAtRandom, EachRunEndsWithAPrefixOfTheCleanOutput) {
    const bool local = GetParam() == "local";
    const SeedRange seeds = seedsOf(SeedCheck::departures, "SOAK_DEPARTURES", 1);
    std::size_t runs = 0;
    for (unsigned long long index = 0; index < seeds.count && !HasFailure(); ++index) {
        const unsigned seed = seeds.first + static_cast<unsigned>(index);
        std::mt19937 random(seed);
        const Road road = roads[random() % std::size(roads)];
        Json profile = randomProfile(seed, road);
        if (local) profile["server"] = "local";
        const RunResult clean = run(profile);
        const std::size_t operationCount =
            static_cast<std::size_t>(std::count_if(clean.journal.begin(), clean.journal.end(), isOperation));
        ASSERT_GT(operationCount, 0u) << "seed " << seed;
        profile["goesAway"] = {{"after", random() % operationCount}};
        RunOptions options;
        options.timeoutSeconds = 60;
        const RunResult result = run(profile, options);
        ++runs;

        const std::string where = "seed " + std::to_string(seed) + roadName(road) + ", gone after " +
                                  std::to_string(profile["goesAway"]["after"].get<std::size_t>()) + " of " +
                                  std::to_string(operationCount) + " operations";
        ASSERT_FALSE(result.hung) << where;
        EXPECT_EQ(result.exitCode, 0) << where;
        EXPECT_EQ(result.err, "") << where;
        EXPECT_EQ(clean.out.compare(0, result.out.size(), result.out), 0) << where;
        EXPECT_EQ(result.out.find("contatti trovati"), std::string::npos) << where;
        EXPECT_TRUE(result.journalHas("server gone")) << where;
        if (!local) {
            EXPECT_TRUE(endedInOrder(result)) << where;
        }
        std::cout << "departure seed " << seed << " (" << serverLabel(local) << roadName(road) << "): gone after "
                  << profile["goesAway"]["after"].get<std::size_t>() << " of " << operationCount
                  << " operations, a prefix of the clean output" << std::endl;
    }
    std::cout << "soak figures goes-away-" << (local ? "local" : "inprocess") << ": runs " << runs * 2 << " faults "
              << runs << " made-again " << runsMadeAgain() << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Servers, OutlookGoesAwayAtRandom, ::testing::Values("inprocess", "local"), serverName);

// The exporter's own MAPI session fails at a random call of a random
// profile's export on the session's road: a failure to set the session up
// sends the run to the object model, a contact that cannot be read goes that
// way alone, and the logoff's failure changes nothing. The random profiles
// hold no Exchange address, so every such run writes the clean export; every
// object is released whatever failed. SOAK_SESSION_FAULTS sets the number of
// runs for each server; by default one.
class SessionFailsAtRandom : public ::testing::TestWithParam<std::string> {};

TEST_P(SessionFailsAtRandom, EachRunWritesTheCleanExport) {
    const bool local = GetParam() == "local";
    const SeedRange seeds = seedsOf(SeedCheck::sessionFaults, "SOAK_SESSION_FAULTS", 1);
    const char* const failures[] = {"0x80004005", "0x8007000E", "0x80040115", "0x8004010F"};
    std::size_t runs = 0;
    for (unsigned long long index = 0; index < seeds.count && !HasFailure(); ++index) {
        const unsigned seed = seeds.first + static_cast<unsigned>(index);
        std::mt19937 random(seed);
        Json profile = randomProfile(seed, Road::session);
        // A contact that the session cannot read takes the object model,
        // whose prompt is answered here.
        profile.erase("guard");
        if (local) profile["server"] = "local";
        const RunResult clean = run(profile);
        std::vector<std::string> calls;
        std::copy_if(clean.journal.begin(), clean.journal.end(), std::back_inserter(calls), isSessionOperation);
        ASSERT_FALSE(calls.empty()) << "seed " << seed;
        const std::string operation = calls[random() % calls.size()];
        const int call = 1 + static_cast<int>(std::count(calls.begin(), calls.end(), operation) > 1
                                                  ? random() % std::count(calls.begin(), calls.end(), operation)
                                                  : 0);
        const std::string hresult = failures[random() % std::size(failures)];
        profile["faults"] = Json::array({fault(operation, hresult, call)});
        const RunResult result = run(profile);
        ++runs;

        const std::string where = "seed " + std::to_string(seed) + ": " + operation + " call " + std::to_string(call) +
                                  " fails with " + hresult;
        EXPECT_EQ(result.exitCode, 0) << where;
        EXPECT_EQ(result.err, "") << where;
        EXPECT_EQ(result.out, clean.out) << where;
        EXPECT_TRUE(endedInOrder(result)) << where;
        std::cout << "session-fault seed " << seed << " (" << serverLabel(local) << "): " << operation << " call "
                  << call << " failed with " << hresult << ", the clean export" << std::endl;
    }
    std::cout << "soak figures session-faults-" << (local ? "local" : "inprocess") << ": runs " << runs * 2
              << " faults " << runs << " made-again " << runsMadeAgain() << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Servers, SessionFailsAtRandom, ::testing::Values("inprocess", "local"), serverName);

}  // namespace
