// Every operation the exporter calls, failed one call at a time.
//
// A clean export of a profile that exercises every operation is run first and
// its journal counted. Then each counted call is made to fail (and, for an
// operation that yields an object, to yield none), one run per fault. Every
// run must end in order: exit code 0, standard output a byte prefix of the
// clean run's (except where a failure is meant to be absorbed, below), the
// one message that belongs to the fault on standard error and nothing else,
// no leaked object, and MAPI ended and released when it was loaded.
//
// Absorbed failures, whose output is the clean output with a known change:
// - MAPI's own failure for one contact (the MAPI object's GetIDsFromNames or
//   GetProps; the session's message, its properties, an address book entry
//   or its properties): that contact's addresses come through the object
//   model, the export goes on;
// - the session cannot be had (the profile's name, the store's id, the
//   logon, the store, the names of the properties) or its address book:
//   the object model's road for the rest of the run, the same records as
//   that road's clean run;
// - no MAPI object: the run takes the session's road from that contact on;
// - the session's logoff: nothing changes;
// - an item that is no object: it is skipped, the export goes on.
// A query for _ContactItem that fails ends the walk on both servers: the
// item's Class says it is a contact (Wine's COM proxy reports any failed
// remote query as E_NOINTERFACE, which alone does not tell).
//
// It sweeps three roads to the e-mail addresses: the contacts' MAPI objects
// (in process only: Outlook's never cross into another process), a MAPI
// session of the exporter's own (the MAPI objects give no IMAPIProp), and
// the object model.
//
// The same sweep runs against the local server ("server": "local"), where
// every call crosses processes as it does with Outlook. There the exporter's
// proxies are all released when it uninitializes COM, so the count of live
// objects that matters is the server's: objects its client never released,
// journaled once the exporter has ended.
//
// Busy at every step (BusySweep): for each operation of the profile, one run
// in which the server turns the next one to three calls away, as a busy
// Outlook does, once the operations before that operation's first call have
// run. The exporter waits each stretch out: standard output is the clean
// run's byte for byte, and so is the journal without its "rejected" lines.
//
// FAULT_SWEEP=full (the soak) sweeps every call; by default the first,
// second and last calls of each operation are swept in process (the first
// contact, one read after it, and the end of the walk), and against the
// local server (slow, and a run there has the Wine prefix to itself) the
// first call of each operation that yields an object, of the server's
// creation and of the session's setting up that Outlook answers, on the
// session's road. FAULT_SWEEP=full makes a busy run
// of every operation on both servers; by default every fourth operation is
// made busy, in process.

#include "ExporterRun.h"
#include "ReferenceBase64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>

using namespace e2e;

namespace {

constexpr int shardCount = 8;
// A local run takes seconds: the full local sweep is cut finer, so that each
// shard ends well within the test's time limit.
constexpr int localShardCount = 16;

const std::set<std::string> objectOperations = {
    "_Application.GetNamespace",
    "_NameSpace.GetDefaultFolder",
    "_NameSpace.CreateRecipient",
    "MAPIFolder.Items",
    "_Items.Item",
    "item.QueryInterface",
    "_ContactItem.Attachments",
    "_ContactItem.MAPIOBJECT",
    "Attachments.Item",
    "Recipient.AddressEntry",
    "AddressEntry.PropertyAccessor",
    "MAPILogonEx",
    "IMAPISession.OpenMsgStore",
    "IMAPISession.OpenAddressBook",
    "IMsgStore.OpenEntry",
    "IAddrBook.OpenEntry",
};

// The operations of the exporter's own MAPI session: they run in its
// process, and a contact's failure in them takes the object model instead.
const std::set<std::string> sessionSetUp = {
    "_NameSpace.CurrentProfileName", "MAPIFolder.StoreID",       "MAPILogonEx",
    "IMAPISession.OpenMsgStore",     "IMessage.GetIDsFromNames", "IMAPISession.OpenAddressBook"};
const std::set<std::string> contactReads = {"IMAPIProp.GetIDsFromNames", "IMAPIProp.GetProps",  "IMsgStore.OpenEntry",
                                            "IMessage.GetProps",         "IAddrBook.OpenEntry", "IMailUser.GetProps"};

// The attachment that comes before some of the pictures.
const std::string documentBeforeThePicture = "notes";

std::string smallPicture(char seed) {
    std::string bytes = "\xFF\xD8\xFF\xE0";
    for (int at = 0; at < 300; ++at) bytes += static_cast<char>(seed + at * 7);
    return bytes + "\xFF\xD9";
}

// Thirty items: names, every phone type, SMTP and Exchange addresses that
// resolve, do not resolve, resolve elsewhere or have no SMTP address,
// pictures alone and after a document, and distribution lists.
Json sweepProfile(const std::string& temporary) {
    const char* phones[] = {"BusinessTelephoneNumber",    "Business2TelephoneNumber", "BusinessFaxNumber",
                            "HomeTelephoneNumber",        "Home2TelephoneNumber",     "HomeFaxNumber",
                            "CompanyMainTelephoneNumber", "OtherTelephoneNumber",     "PrimaryTelephoneNumber",
                            "MobileTelephoneNumber"};
    Json items = Json::array();
    for (int index = 0; index < 30; ++index) {
        if (index % 8 == 3) {
            items.push_back({{"class", "distlist"}});
            continue;
        }
        const std::string n = std::to_string(index);
        Json contact = {{"FullName", "Contatto " + n + " D'Ar\u00E9/\"x\""},
                        {"FirstName", "Nome" + n},
                        {"LastName", index % 5 == 0 ? "X" : "Cognome" + n},
                        {phones[index % 10], "+39 (02) " + n + "/1"},
                        {phones[(index * 3 + 1) % 10], "0" + n}};
        switch (index % 6) {
        case 0:
            contact["Email1Address"] = "smtp" + n + "@example.org";
            contact["Email1AddressType"] = "SMTP";
            contact["Email3Address"] = "terzo" + n + "@example.org";
            break;
        case 1:
            contact["Email1Address"] = "/o=Contoso/cn=resolves" + n;
            contact["Email1AddressType"] = "EX";
            break;
        case 2:
            contact["Email2Address"] = "/o=Contoso/cn=unknown" + n;
            contact["Email2AddressType"] = "EX";
            contact["Email3Address"] = "plain" + n + "@example.org";
            break;
        case 3:
            contact["Email1Address"] = "/o=Contoso/cn=elsewhere" + n;
            contact["Email1AddressType"] = "EX";
            contact["Email2Address"] = "/o=Contoso/cn=nosmtp" + n;
            contact["Email2AddressType"] = "EX";
            break;
        case 4:
            contact["Email1Address"] = "j\u00F6rg" + n + "@example.org";
            contact["mapiTypes"] = {{"Email1Address", "PT_STRING8"}};
            break;
        default: break;
        }
        if (index % 7 == 2) {
            contact["HasPicture"] = true;
            contact["attachments"] =
                Json::array({{{"base64", reference::base64(smallPicture(static_cast<char>(index)))}}});
            // The picture after a document, as Outlook may keep it.
            const Json notes = {{"base64", reference::base64(documentBeforeThePicture)}, {"fileName", "notes.txt"}};
            if (index % 2 == 0) contact["attachments"].insert(contact["attachments"].begin(), notes);
        }
        if (index == 13) contact["HasPicture"] = true;  // a picture flag without attachments
        items.push_back(contact);
    }

    Json book = Json::array();
    for (int index = 0; index < 30; ++index) {
        const std::string n = std::to_string(index);
        book.push_back({{"address", "/o=Contoso/cn=resolves" + n}, {"smtp", "resolved" + n + "@contoso.example"}});
        book.push_back({{"address", "/o=Contoso/cn=elsewhere" + n},
                        {"entryAddress", "/o=Contoso/cn=other"},
                        {"smtp", "x@contoso.example"}});
        book.push_back({{"address", "/o=Contoso/cn=nosmtp" + n}, {"smtp", {{"hresult", "0x8004010F"}}}});
    }
    return {{"items", items}, {"addressBook", book}, {"environment", {{"TMP", windowsPath(temporary)}}}};
}

struct Road {
    std::string name;
    bool mapi;
    // The contacts' MAPI objects give no IMAPIProp, as Outlook's do in
    // another process: the exporter opens a MAPI session of its own.
    bool unmarshallable = false;
};

const Road mapiObjectRoad{"MapiRoad", true};
const Road objectModelRoadOf{"ObjectModelRoad", false};
const Road sessionRoad{"SessionRoad", true, true};
const Road roads[] = {mapiObjectRoad, objectModelRoadOf, sessionRoad};

void PrintTo(const Road& road, std::ostream* out) { *out << road.name; }

// Where Outlook.Application is served: the profile's "server" member.
enum class Server { InProcess, Local };

void PrintTo(Server server, std::ostream* out) { *out << (server == Server::Local ? "local" : "inprocess"); }

bool fullSweep() { return std::getenv("FAULT_SWEEP") != nullptr && std::string(std::getenv("FAULT_SWEEP")) == "full"; }

struct Baseline {
    Json profile;
    Json baseFaults;
    RunResult clean;
    std::vector<std::string> visitedIsContact;  // per visited item: "contact" or the class
    std::vector<std::string> records;           // the clean output's lines
};

Baseline makeBaseline(const Road& road, Server server) {
    Baseline baseline;
    const std::string temporary = makeTestFolder();
    baseline.profile = sweepProfile(temporary);
    baseline.baseFaults = road.mapi ? Json::array() : objectModelRoad();
    baseline.profile["faults"] = baseline.baseFaults;
    if (server == Server::Local) baseline.profile["server"] = "local";
    if (road.unmarshallable) baseline.profile["mapiObject"] = "unmarshallable";
    baseline.clean = run(baseline.profile);
    baseline.records = lines(baseline.clean.out);
    const Json& items = baseline.profile["items"];
    for (auto item = items.rbegin(); item != items.rend(); ++item) {
        baseline.visitedIsContact.push_back(item->value("class", "contact"));
    }
    return baseline;
}

const Baseline& baselineFor(const Road& road, Server server) {
    static std::map<std::pair<std::string, Server>, Baseline> baselines;
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    const auto key = std::make_pair(road.name, server);
    auto found = baselines.find(key);
    if (found == baselines.end()) found = baselines.emplace(key, makeBaseline(road, server)).first;
    return found->second;
}

struct Fault {
    std::string operation;
    int call;
    bool yieldsNothing;
    std::string hresult = "0x80004005";
};

// RPC_E_DISCONNECTED: Outlook has gone away, and the call never ran.
const std::string disconnected = "0x80010108";

// Results besides E_FAIL that an operation is failed with: the query for
// _ContactItem must tell "not a contact" (E_NOINTERFACE) from a failed call.
const std::map<std::string, std::vector<std::string>> otherResults = {
    {"item.QueryInterface", {"0x80004003", "0x80004002", disconnected}},  // E_POINTER, E_NOINTERFACE
    // A call that never reached Outlook is a failed call, not an answer: it
    // ends the walk rather than sending the contact another way.
    {"IMAPIProp.GetIDsFromNames", {disconnected}},
    {"IMAPIProp.GetProps", {disconnected}},
    {"_NameSpace.CurrentProfileName", {disconnected}},
    {"MAPIFolder.StoreID", {disconnected}},
    // A logon refused for MAPI_BG_SESSION is made again without it.
    {"MAPILogonEx", {"0x80040106"}},
};

// The local server's sample: what crosses processes differently from a plain
// value (an object or none, the contact query), and what the session's
// setting up asks of Outlook. The session's own MAPI calls run in the
// exporter's process whichever server plays Outlook; the in-process sweep
// of the session's road takes them.
bool inLocalSample(const std::string& operation) {
    if (isSessionOperation(operation)) return false;
    return objectOperations.count(operation) > 0 || operation == "Outlook.Application.create" ||
           sessionSetUp.count(operation) > 0;
}

std::vector<Fault> faultsToSweep(const Baseline& baseline, bool mapi, Server server) {
    std::map<std::string, int> calls;
    for (const std::string& line : baseline.clean.journal) {
        if (isOperation(line) || isSessionOperation(line)) ++calls[line];
    }
    const bool full = fullSweep();
    std::vector<Fault> faults;
    for (const auto& [operation, count] : calls) {
        if (!mapi && operation == "_Application.Version") continue;  // already failing on this road
        std::set<int> chosen;
        if (full) {
            for (int call = 1; call <= count; ++call) chosen.insert(call);
        } else if (server == Server::Local) {
            if (inLocalSample(operation)) chosen.insert(1);
        } else {
            for (int call : {1, 2, count}) {
                if (call >= 1 && call <= count) chosen.insert(call);
            }
        }
        for (int call : chosen) {
            faults.push_back({operation, call, false});
            if (objectOperations.count(operation) > 0) faults.push_back({operation, call, true});
            if (const auto others = otherResults.find(operation); others != otherResults.end()) {
                for (const std::string& hresult : others->second) faults.push_back({operation, call, false, hresult});
            }
        }
    }
    return faults;
}

std::string joinLines(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t at = 0; at < parts.size(); ++at) text += (at > 0 ? "\r\n" : "") + parts[at];
    return text;
}

// The clean output with the records from `first` on (0-based) as another
// road's clean run wrote them.
std::string withRecordsOf(const Baseline& baseline, const Baseline& other, std::size_t first, std::size_t count) {
    std::vector<std::string> parts = baseline.records;
    for (std::size_t at = first; at < first + count && at + 2 < parts.size(); ++at) parts[at] = other.records.at(at);
    return joinLines(parts);
}

// The 0-based record of the contact whose reading made the `call`th call of
// `operation` in the clean run: the contacts whose reading began before it.
std::size_t recordOfCall(const Baseline& baseline, const std::string& operation, int call) {
    const std::string contactBegins = "_ContactItem.FullName";
    std::size_t contacts = 0;
    int seen = 0;
    for (const std::string& line : baseline.clean.journal) {
        if (line == contactBegins) ++contacts;
        if (line == operation && ++seen == call) return contacts - 1;
    }
    throw std::logic_error("no call " + std::to_string(call) + " of " + operation);
}

// The clean output without the record of the `visit`th item (1-based).
std::string withoutVisitedItem(const Baseline& baseline, int visit) {
    const std::string& clean = baseline.clean.out;
    if (baseline.visitedIsContact.at(visit - 1) != "contact") return clean;
    std::size_t record = 0;
    for (int earlier = 0; earlier < visit - 1; ++earlier) {
        if (baseline.visitedIsContact[earlier] == "contact") ++record;
    }
    std::vector<std::string> parts = baseline.records;
    parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(record));
    std::size_t contacts = 0;
    for (const std::string& kind : baseline.visitedIsContact) contacts += kind == "contact" ? 1 : 0;
    std::ostringstream trailer;
    trailer << "contatti trovati: " << contacts - 1 << " / " << baseline.visitedIsContact.size();
    parts[parts.size() - 2] = trailer.str();
    return joinLines(parts);
}

// What the fault's run must write, when it is not a prefix of the clean output.
std::optional<std::string> absorbedOutput(const Road& road, const Baseline& baseline, const Fault& fault,
                                          Server server) {
    // An item that is no contact answers the query for _ContactItem with no
    // such interface in the clean run already: a fault that gives the same
    // answer (or none) changes nothing, and neither does any failed query
    // against the local server, where Wine's proxy reports each as no such
    // interface. The item's Class says it is no contact, and it is skipped
    // as before.
    if (fault.operation == "item.QueryInterface" &&
        baseline.visitedIsContact.at(static_cast<std::size_t>(fault.call) - 1) != "contact" &&
        (server == Server::Local || fault.yieldsNothing || fault.hresult == "0x80004002")) {
        return baseline.clean.out;
    }
    if (fault.hresult == disconnected) return std::nullopt;
    const Baseline& objectModel = baselineFor(objectModelRoadOf, server);
    if (contactReads.count(fault.operation) > 0) {
        return withRecordsOf(baseline, objectModel, recordOfCall(baseline, fault.operation, fault.call), 1);
    }
    if (sessionSetUp.count(fault.operation) > 0) {
        // A logon refused for its flag alone is made again.
        if (fault.operation == "MAPILogonEx" && fault.hresult == "0x80040106") return baseline.clean.out;
        return objectModel.clean.out;
    }
    if (fault.operation == "IMAPISession.Logoff") return baseline.clean.out;
    // A connection whose version cannot be read is incomplete: MAPI is not
    // loaded, and the addresses take the object model's road.
    if (fault.operation == "_Application.Version") return objectModel.clean.out;
    // Without a MAPI object the run takes the session's road from that contact on.
    if (fault.operation == "_ContactItem.MAPIOBJECT" && fault.yieldsNothing) {
        const std::size_t first = recordOfCall(baseline, fault.operation, fault.call);
        return withRecordsOf(baseline, baselineFor(road.mapi ? sessionRoad : road, server), first,
                             baseline.records.size());
    }
    if (fault.operation == "_Items.Item" && fault.yieldsNothing) return withoutVisitedItem(baseline, fault.call);
    return std::nullopt;
}

void sweepShard(const Road& road, int shard, Server server) {
    const bool local = server == Server::Local;
    // Outlook's MAPI objects never cross into another process.
    if (local && road.name == mapiObjectRoad.name) GTEST_SKIP() << "the local server's MAPI objects never cross";
    // The local sample is small: the first shard of the session's road takes it whole.
    if (local && !fullSweep() && (shard != 0 || road.name != sessionRoad.name)) {
        GTEST_SKIP() << "FAULT_SWEEP=full sweeps this shard";
    }
    const Baseline& baseline = baselineFor(road, server);
    ASSERT_EQ(baseline.clean.exitCode, 0);
    ASSERT_EQ(baseline.clean.err, "");
    const std::vector<std::string> cleanLines = lines(baseline.clean.out);
    ASSERT_GT(cleanLines.size(), 20u);
    ASSERT_EQ(cleanLines[cleanLines.size() - 2], "contatti trovati: 26 / 30");
    ASSERT_EQ(baseline.clean.journalHas("MAPIInitialize"), road.mapi);
    ASSERT_TRUE(endedInOrder(baseline.clean));

    const std::vector<Fault> faults = faultsToSweep(baseline, road.mapi, server);
    const std::size_t stride = !local ? shardCount : fullSweep() ? localShardCount : 1;
    std::size_t swept = 0;
    for (std::size_t index = static_cast<std::size_t>(shard); index < faults.size(); index += stride) {
        const Fault& fault = faults[index];
        Json profile = baseline.profile;
        profile["faults"].push_back(fault.yieldsNothing ? nullResult(fault.operation, fault.call)
                                                        : e2e::fault(fault.operation, fault.hresult, fault.call));
        RunOptions options;
        // A local run waits for the prefix to itself, then for its server to end.
        options.timeoutSeconds = local ? 120 : 60;
        const RunResult result = run(profile, options);
        const std::string what = fault.operation + " call " + std::to_string(fault.call) +
                                 (fault.yieldsNothing ? " (no object)" : " (" + fault.hresult + ")");
        ++swept;

        ASSERT_FALSE(result.hung) << what;
        EXPECT_EQ(result.exitCode, 0) << what;
        const bool noAttachments = fault.operation == "_ContactItem.Attachments" && fault.yieldsNothing;
        EXPECT_EQ(result.err, noAttachments ? "Unabel to get Attachments." : "") << what;
        if (const std::optional<std::string> expected = absorbedOutput(road, baseline, fault, server)) {
            EXPECT_EQ(result.out, *expected) << what;
        } else {
            EXPECT_EQ(baseline.clean.out.compare(0, result.out.size(), result.out), 0)
                << what << ": not a prefix of the clean output:\n"
                << result.out;
            // A fault that changes nothing must be one the exporter never sees fail.
            EXPECT_NE(result.out, baseline.clean.out) << what;
        }
        EXPECT_TRUE(endedInOrder(result)) << what;
        // The server's report, and the session's when the run logged on.
        EXPECT_EQ(liveObjectLines(result), result.journalHas("MAPILogonEx") ? 2u : 1u) << what;
        // endedInOrder checks MAPI's order; the library's release is also the
        // run's last act before the count of live objects.
        if (result.journalHas("MAPIInitialize")) {
            EXPECT_EQ(result.indexOf("mapi32 unloaded"), result.journal.size() - 2) << what;
        }
    }
    ::testing::Test::RecordProperty("faults_swept", static_cast<int>(swept));
    std::cout << road.name << (local ? " local server" : "") << " shard " << shard << ": " << swept << " of "
              << faults.size() << " fault runs\n";
    // Runs made, the clean one included, and faults injected: one each.
    std::cout << "soak figures fault-sweep-" << (local ? "local" : "inprocess") << ": runs " << swept + 1 << " faults "
              << swept << " made-again " << runsMadeAgain() << "\n";
}

class FaultSweep : public ::testing::TestWithParam<std::tuple<Road, int>> {};

TEST_P(FaultSweep, EveryFailedCallEndsInOrder) {
    const auto& [road, shard] = GetParam();
    sweepShard(road, shard, Server::InProcess);
}

class FaultSweepLocalServer : public ::testing::TestWithParam<std::tuple<Road, int>> {};

TEST_P(FaultSweepLocalServer, EveryFailedCallEndsInOrder) {
    const auto& [road, shard] = GetParam();
    sweepShard(road, shard, Server::Local);
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Road, int>>& info) {
    return std::get<0>(info.param).name + "Shard" + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(AllOperations, FaultSweep,
                         ::testing::Combine(::testing::ValuesIn(roads), ::testing::Range(0, shardCount)), caseName);
INSTANTIATE_TEST_SUITE_P(AllOperations, FaultSweepLocalServer,
                         ::testing::Combine(::testing::ValuesIn(roads), ::testing::Range(0, localShardCount)),
                         caseName);

}  // namespace

namespace {

// The distinct operations of a journal, in the order of their first calls.
std::vector<std::string> operationsInOrder(const std::vector<std::string>& journal) {
    std::vector<std::string> found;
    for (const std::string& entry : journal) {
        if (isOperation(entry) && std::find(found.begin(), found.end(), entry) == found.end()) found.push_back(entry);
    }
    return found;
}

class BusySweep : public ::testing::TestWithParam<std::tuple<Road, Server>> {};

TEST_P(BusySweep, EveryOperationWaitsOutABusyOutlookBeforeItsFirstCall) {
    const auto& [road, server] = GetParam();
    const bool full = fullSweep();
    if (server == Server::Local && road.name == mapiObjectRoad.name) {
        GTEST_SKIP() << "the local server's MAPI objects never cross";
    }
    if (server == Server::Local && !full) GTEST_SKIP() << "FAULT_SWEEP=full makes busy runs against the local server";
    const Baseline& baseline = baselineFor(road, server);
    ASSERT_EQ(baseline.clean.exitCode, 0);
    ASSERT_EQ(baseline.clean.err, "");
    ASSERT_TRUE(endedInOrder(baseline.clean));

    const std::vector<std::string> operations = operationsInOrder(baseline.clean.journal);
    ASSERT_GT(operations.size(), 30u);
    std::size_t runs = 0;
    std::size_t rejections = 0;
    for (std::size_t index = 0; index < operations.size(); ++index) {
        if (!full && index % 4 != (road.mapi ? 0 : 2)) continue;
        const std::string& operation = operations[index];
        const long long after = operationsBefore(baseline.clean.journal, operation);
        const int turnedAway = 1 + static_cast<int>(index % 3);  // each costs the exporter a 200 ms wait
        Json profile = baseline.profile;
        profile["busy"] = Json::array({{{"after", after}, {"rejections", turnedAway}}});
        RunOptions options;
        options.timeoutSeconds = server == Server::Local ? 120 : 60;
        const RunResult result = run(profile, options);
        const std::string what = "busy before " + operation + " (after " + std::to_string(after) + " operations, " +
                                 std::to_string(turnedAway) + " rejected)";
        ++runs;

        ASSERT_FALSE(result.hung) << what;
        EXPECT_EQ(result.exitCode, 0) << what;
        EXPECT_EQ(result.err, "") << what;
        EXPECT_EQ(result.out, baseline.clean.out) << what;
        EXPECT_EQ(result.count("rejected"), static_cast<std::size_t>(turnedAway)) << what;
        EXPECT_EQ(withoutRejections(result.journal), baseline.clean.journal) << what;
        EXPECT_TRUE(endedInOrder(result)) << what;
        rejections += result.count("rejected");
    }
    std::cout << road.name << (server == Server::Local ? " local server" : "") << ": " << runs << " busy runs, "
              << rejections << " rejections absorbed\n";
    std::cout << "soak figures busy-" << (server == Server::Local ? "local" : "inprocess") << ": runs " << runs + 1
              << " rejections " << rejections << " made-again " << runsMadeAgain() << "\n";
}

INSTANTIATE_TEST_SUITE_P(EveryStep, BusySweep,
                         ::testing::Combine(::testing::ValuesIn(roads),
                                            ::testing::Values(Server::InProcess, Server::Local)),
                         [](const ::testing::TestParamInfo<BusySweep::ParamType>& info) {
                             return std::get<0>(info.param).name +
                                    (std::get<1>(info.param) == Server::Local ? "LocalServer" : "InProcess");
                         });

}  // namespace
