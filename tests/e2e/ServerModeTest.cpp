#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

// With "server": "local" the same objects are served from the stand-in's
// local server, so every object-model call crosses processes through COM
// marshalling (and a contact's MAPIOBJECT through its own proxy). The export
// must not notice: the output, the exit code and the journal of calls are
// those of the in-process run, and every object is released.
namespace {

Json mixedProfile(const Json& faults) {
    const Json items = Json::array({
        {{"FullName", "Anna Rossi"},
         {"FirstName", "Anna"},
         {"LastName", "Rossi"},
         {"Email1Address", "anna@example.com"},
         {"Email1AddressType", "SMTP"},
         {"Email2Address", "Zoë Müller"},
         {"Email2AddressType", "SMTP"},
         {"mapiTypes", {{"Email2Address", "PT_STRING8"}}},
         {"MobileTelephoneNumber", "+39 333 1234567"},
         {"HomeFaxNumber", "02\t55"}},
        {{"FullName", "Exchange Person"},
         {"Email1Address", "/o=Contoso/cn=Recipients/cn=eperson"},
         {"Email1AddressType", "EX"},
         {"Email3Address", utf16(u"lone \xD800 surrogate")},
         {"Email3AddressType", "SMTP"}},
        {{"class", "distlist"}},
        {{"FullName", "With Picture"},
         {"LastName", "P"},
         {"HasPicture", true},
         {"attachments", Json::array({{{"base64", "/9j/4AAQSkZJRgABAQ=="}}})}},
        {{"FirstName", "Only"}, {"BusinessTelephoneNumber", "\"quoted\" \\ number"}},
    });
    const Json addressBook =
        Json::array({{{"address", "/o=Contoso/cn=Recipients/cn=eperson"}, {"smtp", "e.person@contoso.example"}}});
    Json profile = {{"items", items}, {"addressBook", addressBook}, {"faults", faults}};
    useOwnTemporaryDirectory(profile);
    return profile;
}

void expectSameRun(const Json& profile) {
    const RunResult inProcess = run(profile);
    Json local = profile;
    local["server"] = "local";
    const RunResult outOfProcess = run(local);

    EXPECT_EQ(outOfProcess.out, inProcess.out);
    EXPECT_EQ(outOfProcess.err, inProcess.err);
    EXPECT_EQ(outOfProcess.exitCode, inProcess.exitCode);
    EXPECT_EQ(outOfProcess.journal, inProcess.journal);
    EXPECT_TRUE(endedInOrder(outOfProcess));
    EXPECT_EQ(std::count_if(outOfProcess.journal.begin(), outOfProcess.journal.end(),
                            [](const std::string& line) { return line.rfind("live-objects", 0) == 0; }),
              1);
}

}  // namespace

TEST(ServerMode, LocalServerExportsWhatTheInProcessServerExports) {
    expectSameRun(mixedProfile(Json::array()));      // MAPI road
    expectSameRun(mixedProfile(objectModelRoad()));  // object-model road
}

TEST(ServerMode, FailuresCrossProcessesAsTheyHappenInProcess) {
    // A MAPI call failing with a result, one yielding nothing, and an
    // object-model call failing with error information: the walk stops there.
    expectSameRun(mixedProfile(Json::array({fault("IMAPIProp.GetProps", "0x80040102", 1),
                                            nullResult("IMAPIProp.GetIDsFromNames", 2),
                                            {{"operation", "_ContactItem.LastName"},
                                             {"hresult", "0x80020009"},
                                             {"call", 4},
                                             {"description", "LastName is unavailable"}}})));
}
