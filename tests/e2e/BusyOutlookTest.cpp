// A busy Outlook turns calls away (RPC_E_CALL_REJECTED): while it starts,
// loads a profile, synchronises or shows a dialog. The exporter waits such a
// stretch out, call by call, and the run is the run of an Outlook that was
// never busy. A stretch that does not end within the deadline fails the call
// that met it, as any failed call does.
#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>

using namespace e2e;

namespace {

// Where the "rejected" lines stand: operations run before them, and how many.
std::map<long long, int> rejections(const std::vector<std::string>& journal) {
    std::map<long long, int> found;
    long long operations = 0;
    for (const std::string& entry : journal) {
        if (entry == "rejected") ++found[operations];
        if (isOperation(entry)) ++operations;
    }
    return found;
}

Json window(long long after, int rejections) { return {{"after", after}, {"rejections", rejections}}; }

class BusyOutlook : public ::testing::TestWithParam<std::string> {};

TEST_P(BusyOutlook, IsWaitedForAtStartMidWalkAndAroundMapi) {
    Json profile = mixedProfile();
    profile["server"] = GetParam();
    const RunResult clean = run(profile);
    ASSERT_EQ(clean.exitCode, 0);
    ASSERT_EQ(lines(clean.out).size(), 6u);

    // Around MAPI: the contact's own MAPI object in process; against the
    // local server, whose MAPI objects never cross, the exporter's own
    // session, which a busy Outlook does not turn away, and the object
    // model's calls it takes.
    const bool local = GetParam() == "local";
    const std::map<long long, int> windows = {
        {0, 3},                                                  // Outlook starting
        {operationsBefore(clean.journal, "_Items.Item", 2), 2},  // mid-walk
        {operationsBefore(clean.journal, local ? "_NameSpace.CurrentProfileName" : "IMAPIProp.GetIDsFromNames"), 2},
        {operationsBefore(clean.journal, local ? "_ContactItem.EntryID" : "IMAPIProp.GetProps", 2), 1},
        {operationsBefore(clean.journal, "Attachment.FileName", 2), 1},  // among the attachments
        {operationsBefore(clean.journal, "_Items.Count", 2), 2},         // before the trailer
    };
    ASSERT_EQ(windows.size(), 6u);
    profile["busy"] = Json::array();
    for (const auto& [after, count] : windows) profile["busy"].push_back(window(after, count));

    const RunResult busy = run(profile);
    EXPECT_EQ(busy.out, clean.out);
    EXPECT_EQ(busy.err, "");
    EXPECT_EQ(busy.exitCode, 0);
    // Each rejected call is made again, and then the run is the clean one.
    // (The first window opens at once; the first call it meets comes after
    // the creation of Outlook.Application, the first operation.)
    std::map<long long, int> expected = windows;
    expected[1] = expected[0];
    expected.erase(0);
    EXPECT_EQ(rejections(busy.journal), expected);
    EXPECT_EQ(withoutRejections(busy.journal), clean.journal);
    EXPECT_TRUE(endedInOrder(busy));
}

TEST_P(BusyOutlook, TheStatusQueryAnswersThroughABusyStart) {
    Json profile = mixedProfile();
    profile["server"] = GetParam();
    profile["busy"] = Json::array({window(0, 5)});
    const RunResult result = run(profile, {"-h"});
    EXPECT_EQ(result.out, "16.0.17928.20114");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.count("rejected"), 5u);
    EXPECT_TRUE(endedInOrder(result));
}

// A busy Outlook turns a query for another interface away too: the query
// for _ContactItem, and for IMAPIProp on a contact's MAPIOBJECT, are waited
// for like any call, and the contact is neither skipped nor written without
// its addresses. Against the local server a remote query reaches the
// server's message filter as IRemUnknown's RemQueryInterface, without the
// interface it asks for, and Wine's proxy reports a query that the filter
// turned away as E_NOINTERFACE: there the stand-in lets queries run, and a
// window opened before one turns away the calls after it.
TEST_P(BusyOutlook, QueriesAreWaitedForLikeCalls) {
    Json profile = mixedProfile();
    profile["server"] = GetParam();
    const RunResult clean = run(profile);
    const long long beforeContactQuery = operationsBefore(clean.journal, "item.QueryInterface", 2);
    // Against the local server only the first contact's MAPIOBJECT is asked for.
    const long long beforeMapiQuery =
        operationsBefore(clean.journal, "_ContactItem.MAPIOBJECT", GetParam() == "local" ? 1 : 2) + 1;
    profile["busy"] = Json::array({window(beforeContactQuery, 2), window(beforeMapiQuery, 3)});

    const RunResult busy = run(profile);
    EXPECT_EQ(busy.out, clean.out);
    EXPECT_EQ(busy.err, "");
    EXPECT_EQ(busy.count("rejected"), 5u);
    EXPECT_EQ(withoutRejections(busy.journal), clean.journal);
    EXPECT_TRUE(endedInOrder(busy));
    if (GetParam() == "inprocess") {
        // The rejected queries come right before the query that then runs,
        // and right before the contact's first MAPI call.
        EXPECT_EQ(rejections(busy.journal), (std::map<long long, int>{{beforeContactQuery, 2}, {beforeMapiQuery, 3}}));
        const std::size_t contactQuery = busy.indexOf("rejected");
        ASSERT_NE(contactQuery, std::string::npos);
        EXPECT_EQ(busy.journal.at(contactQuery + 2), "item.QueryInterface");
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, BusyOutlook, ::testing::Values("inprocess", "local"), serverName);

}  // namespace

// An Outlook that stays busy: the call that meets it fails once the deadline
// (a minute) has passed, and the run ends as on any failed call. Both runs
// wait out the deadline, side by side.
TEST(BusyOutlookForever, FailsTheCallAfterTheDeadline) {
    Json exportProfile = mixedProfile();
    const RunResult clean = run(exportProfile);
    exportProfile["busy"] =
        Json::array({{{"after", operationsBefore(clean.journal, "_Items.Item", 2)}, {"rejections", "always"}}});
    Json statusProfile = mixedProfile();
    statusProfile["busy"] = Json::array({{{"after", 0}, {"rejections", "always"}}});

    const auto timed = [](const Json& profile, std::vector<std::string> arguments) {
        const auto started = std::chrono::steady_clock::now();
        RunOptions options;
        options.arguments = std::move(arguments);
        options.timeoutSeconds = 180;
        RunResult result = run(profile, options);
        return std::make_pair(std::move(result), std::chrono::steady_clock::now() - started);
    };
    auto exporting = std::async(std::launch::async, timed, exportProfile, std::vector<std::string>{});
    auto status = std::async(std::launch::async, timed, statusProfile, std::vector<std::string>{"-h"});

    const auto [stopped, exportTook] = exporting.get();
    EXPECT_EQ(stopped.out, lines(clean.out)[0]);  // the first record, without its line end or a trailer
    EXPECT_EQ(stopped.err, "");
    EXPECT_EQ(stopped.exitCode, 0);
    EXPECT_GE(exportTook, std::chrono::seconds(60));
    EXPECT_TRUE(endedInOrder(stopped));

    const auto [answered, statusTook] = status.get();
    EXPECT_EQ(answered.out, "ko");
    EXPECT_EQ(answered.exitCode, 0);
    EXPECT_GE(statusTook, std::chrono::seconds(60));
    EXPECT_TRUE(endedInOrder(answered));
    EXPECT_FALSE(answered.journalHas("MAPIInitialize"));
}
