#include "ExporterRun.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

void expectStatusAnswer(const Json& profile, const std::vector<std::string>& arguments, const std::string& answer) {
    const RunResult result = run(profile, arguments);
    EXPECT_EQ(result.out, answer) << "arguments: " << (arguments.empty() ? "" : arguments[0]);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(endedInOrder(result));
}

const Json completeProfile = {{"version", "16.0.17928.20114"}};

}  // namespace

TEST(StatusQuery, WritesTheVersionInUtf8WithoutALineEnd) {
    expectStatusAnswer({{"version", "16.0 \u00C9dition \u2713 \u65E5\u672C"}}, {"-h"},
                       "16.0 \xC3\x89"
                       "dition \xE2\x9C\x93 \xE6\x97\xA5\xE6\x9C\xAC");
}

TEST(StatusQuery, OnlyTheFirstTwoCharactersOfTheFirstArgumentCount) {
    expectStatusAnswer(completeProfile, {"-hello"}, "16.0.17928.20114");
    expectStatusAnswer(completeProfile, {"-h", "x"}, "16.0.17928.20114");
}

TEST(StatusQuery, OtherArgumentsAnswerKoEvenOnACompleteConnection) {
    for (const std::string argument : {"-H", "--h", "/h", "h", "-", "", "x", "\u00E9h"}) {
        expectStatusAnswer(completeProfile, {argument}, "ko");
    }
    const RunResult result = run(completeProfile, {"x"});
    EXPECT_TRUE(result.journalHas("Outlook.Application.create"));
}

TEST(StatusQuery, AnswersKoWhenOutlookCannotBeStarted) {
    const Json profile = {{"faults", {fault("Outlook.Application.create", "0x80080005")}}};
    expectStatusAnswer(profile, {"-h"}, "ko");
    EXPECT_FALSE(run(profile, {"-h"}).journalHas("MAPIInitialize"));
}

TEST(StatusQuery, AnswersKoWhenTheNamespaceOrVersionFails) {
    expectStatusAnswer({{"faults", {fault("_Application.GetNamespace")}}}, {"-h"}, "ko");
    expectStatusAnswer({{"faults", {nullResult("_Application.GetNamespace")}}}, {"-h"}, "ko");
    expectStatusAnswer({{"faults", {fault("_Application.Version", "0x80010108")}}}, {"-h"}, "ko");
}

TEST(StatusQuery, ErrorInformationOfAFailedCallIsNotWritten) {
    Json versionFault = fault("_Application.Version");
    versionFault["description"] = "The operation failed.";
    expectStatusAnswer({{"faults", {versionFault}}}, {"-h"}, "ko");
    versionFault["via"] = "excepinfo";
    expectStatusAnswer({{"faults", {versionFault}}}, {"-h"}, "ko");
}

TEST(StatusQuery, EachMemberNameIsLookedUpOnce) {
    const RunResult result = run(completeProfile, {"-h"});
    EXPECT_EQ(result.count("GetIDsOfNames _Application.GetNamespace"), 1u);
    EXPECT_EQ(result.count("GetIDsOfNames _Application.Version"), 1u);
    EXPECT_EQ(result.count("_Application.GetNamespace"), 1u);
    EXPECT_EQ(result.count("_Application.Version"), 1u);
}

TEST(TemporaryDirectory, ALongerPathThanWindowsAllowsIsReported) {
    const Json profile = {{"environment", {{"TMP", "C:\\" + std::string(300, 't')}, {"TEMP", "C:\\t"}}}};
    for (const std::string argument : {"-h", "x"}) {
        const RunResult result = run(profile, {argument});
        EXPECT_EQ(result.err, "cannot find temp path");
        EXPECT_EQ(result.out, "ko");
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(endedInOrder(result));
        EXPECT_FALSE(result.journalHas("_Application.Version"));
    }
}

TEST(TemporaryDirectory, APathOfExactly260CharactersIsRefused) {
    // Windows needs 261 units for it and answers that size; Wine refuses
    // anything over 258 characters with 0. Either is "cannot find temp path".
    const std::string exactly260 = "C:\\" + std::string(256, 'f') + "\\";
    ASSERT_EQ(exactly260.size(), 260u);
    const RunResult refused = run({{"version", "16.0"}, {"environment", {{"TMP", exactly260}}}}, {"-h"});
    EXPECT_EQ(refused.out, "ko");
    EXPECT_EQ(refused.err, "cannot find temp path");
    EXPECT_TRUE(endedInOrder(refused));

    const std::string longestTaken = "C:\\" + std::string(254, 'f') + "\\";
    const RunResult taken = run({{"version", "16.0"}, {"environment", {{"TMP", longestTaken}}}}, {"-h"});
    EXPECT_EQ(taken.out, "16.0");
    EXPECT_EQ(taken.err, "");
}

TEST(TemporaryDirectory, TheExportStillRunsOnTheConnectionBuilt) {
    const Json profile = {{"environment", {{"TMP", "C:\\" + std::string(300, 't')}}},
                          {"items", {{{"FullName", "Ada Lovelace"}, {"Email1Address", "ada@example.org"}}}}};
    const RunResult result = run(profile);
    EXPECT_EQ(result.err, "cannot find temp path");
    EXPECT_EQ(result.out,
              "{\"displayname\":\"Ada Lovelace\",\"emailaddrs\":[\"ada@example.org\"],\"phones\":[]}\r\n"
              "contatti trovati: 1 / 1\r\n");
    EXPECT_FALSE(result.journalHas("MAPIInitialize"));
    EXPECT_TRUE(endedInOrder(result));
}
