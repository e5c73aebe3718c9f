#include "ExporterRun.h"

#include <gtest/gtest.h>

using namespace e2e;

// With "server": "local" the same objects are served from the stand-in's
// local server, so every object-model call crosses processes through COM
// marshalling, and a contact's MAPIOBJECT never crosses: the exporter reads
// the addresses through a MAPI session of its own, in its own process. The
// export must not notice: the output, the exit code and the journal of calls
// are those of the in-process run whose MAPI objects give no IMAPIProp
// either, and every object is released.
namespace {

void expectSameRun(Json profile) {
    profile["mapiObject"] = "unmarshallable";
    const RunResult inProcess = run(profile);
    Json local = profile;
    local["server"] = "local";
    const RunResult outOfProcess = run(local);

    EXPECT_EQ(outOfProcess.out, inProcess.out);
    EXPECT_EQ(outOfProcess.err, inProcess.err);
    EXPECT_EQ(outOfProcess.exitCode, inProcess.exitCode);
    EXPECT_EQ(outOfProcess.journal, inProcess.journal);
    EXPECT_TRUE(endedInOrder(outOfProcess));
    // The server's report, and the session's when the run logged on.
    EXPECT_EQ(liveObjectLines(outOfProcess), outOfProcess.journalHas("MAPILogonEx") ? 2u : 1u);
}

}  // namespace

TEST(ServerMode, LocalServerExportsWhatTheInProcessServerExports) {
    expectSameRun(mixedProfile());                                 // the session's road
    expectSameRun(withFaults(mixedProfile(), objectModelRoad()));  // object-model road
}

TEST(ServerMode, FailuresCrossProcessesAsTheyHappenInProcess) {
    // A MAPI call failing with a result, one yielding nothing, and an
    // object-model call failing with error information: the walk stops there.
    expectSameRun(withFaults(mixedProfile(), Json::array({fault("IMessage.GetProps", "0x80040102", 1),
                                                          nullResult("IMsgStore.OpenEntry", 2),
                                                          {{"operation", "_ContactItem.LastName"},
                                                           {"hresult", "0x80020009"},
                                                           {"call", 4},
                                                           {"description", "LastName is unavailable"}}})));
}
