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
// Absorbed failures, whose output is the clean output with one change:
// - no MAPI object, or a failing GetIDsFromNames or GetProps: that contact's
//   e-mail array is empty, the export goes on;
// - an item that is no object or not a contact: it is skipped, the export goes on.
//
// FAULT_SWEEP=full sweeps every call; by default the first, second, middle
// and last two calls of each operation are swept.

#include "ExporterRun.h"
#include "ReferenceBase64.h"

#include <gtest/gtest.h>

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
};

bool isOperation(const std::string& line) {
    if (line.rfind("GetIDsOfNames ", 0) == 0 || line.rfind("live-objects", 0) == 0) return false;
    return line.find('.') != std::string::npos && line.find(' ') == std::string::npos;
}

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
            const Json notes = {{"base64", reference::base64(std::string("notes"))}, {"fileName", "notes.txt"}};
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
};

const Road roads[] = {{"MapiRoad", true}, {"ObjectModelRoad", false}};

void PrintTo(const Road& road, std::ostream* out) { *out << road.name; }

struct Baseline {
    Json profile;
    Json baseFaults;
    RunResult clean;
    std::vector<std::string> visitedIsContact;  // per visited item: "contact" or the class
};

Baseline makeBaseline(const Road& road) {
    Baseline baseline;
    const std::string temporary = makeTestFolder();
    baseline.profile = sweepProfile(temporary);
    baseline.baseFaults = road.mapi ? Json::array() : objectModelRoad();
    baseline.profile["faults"] = baseline.baseFaults;
    baseline.clean = run(baseline.profile);
    const Json& items = baseline.profile["items"];
    for (auto item = items.rbegin(); item != items.rend(); ++item) {
        baseline.visitedIsContact.push_back(item->value("class", "contact"));
    }
    return baseline;
}

const Baseline& baselineFor(const Road& road) {
    static std::map<std::string, Baseline> baselines;
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    auto found = baselines.find(road.name);
    if (found == baselines.end()) found = baselines.emplace(road.name, makeBaseline(road)).first;
    return found->second;
}

struct Fault {
    std::string operation;
    int call;
    bool yieldsNothing;
    std::string hresult = "0x80004005";
};

// Results besides E_FAIL that an operation is failed with: the query for
// _ContactItem must tell "not a contact" (E_NOINTERFACE) from a failed call.
const std::map<std::string, std::vector<std::string>> otherResults = {
    {"item.QueryInterface", {"0x80004003", "0x80010108"}},  // E_POINTER, RPC_E_DISCONNECTED
};

std::vector<Fault> faultsToSweep(const Baseline& baseline, bool mapi) {
    std::map<std::string, int> calls;
    for (const std::string& line : baseline.clean.journal) {
        if (isOperation(line)) ++calls[line];
    }
    const bool full = std::getenv("FAULT_SWEEP") != nullptr && std::string(std::getenv("FAULT_SWEEP")) == "full";
    std::vector<Fault> faults;
    for (const auto& [operation, count] : calls) {
        if (!mapi && operation == "_Application.Version") continue;  // already failing on this road
        std::set<int> chosen;
        if (full) {
            for (int call = 1; call <= count; ++call) chosen.insert(call);
        } else {
            for (int call : {1, 2, (count + 1) / 2, count - 1, count}) {
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

std::vector<std::string> recordLines(const std::string& out) { return lines(out); }

std::string joinLines(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t at = 0; at < parts.size(); ++at) text += (at > 0 ? "\r\n" : "") + parts[at];
    return text;
}

// The clean output with one record's e-mail array emptied.
std::string withEmptyAddresses(const std::string& clean, std::size_t record) {
    std::vector<std::string> parts = recordLines(clean);
    std::string& line = parts.at(record);
    const std::size_t start = line.find("\"emailaddrs\":[") + 14;
    const std::size_t end = line.find("]", start);
    line.erase(start, end - start);
    return joinLines(parts);
}

// The clean output without the record of the `visit`th item (1-based).
std::string withoutVisitedItem(const Baseline& baseline, int visit) {
    const std::string& clean = baseline.clean.out;
    if (baseline.visitedIsContact.at(visit - 1) != "contact") return clean;
    std::size_t record = 0;
    for (int earlier = 0; earlier < visit - 1; ++earlier) {
        if (baseline.visitedIsContact[earlier] == "contact") ++record;
    }
    std::vector<std::string> parts = recordLines(clean);
    parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(record));
    std::size_t contacts = 0;
    for (const std::string& kind : baseline.visitedIsContact) contacts += kind == "contact" ? 1 : 0;
    std::ostringstream trailer;
    trailer << "contatti trovati: " << contacts - 1 << " / " << baseline.visitedIsContact.size();
    parts[parts.size() - 2] = trailer.str();
    return joinLines(parts);
}

// What the fault's run must write, when it is not a prefix of the clean output.
std::optional<std::string> absorbedOutput(const Baseline& baseline, const Fault& fault) {
    const bool emailsDropped = (fault.operation == "IMAPIProp.GetIDsFromNames" && !fault.yieldsNothing) ||
                               (fault.operation == "IMAPIProp.GetProps" && !fault.yieldsNothing) ||
                               (fault.operation == "_ContactItem.MAPIOBJECT" && fault.yieldsNothing);
    if (emailsDropped) return withEmptyAddresses(baseline.clean.out, static_cast<std::size_t>(fault.call - 1));
    if ((fault.operation == "_Items.Item" || fault.operation == "item.QueryInterface") && fault.yieldsNothing) {
        return withoutVisitedItem(baseline, fault.call);
    }
    return std::nullopt;
}

class FaultSweep : public ::testing::TestWithParam<std::tuple<Road, int>> {};

TEST_P(FaultSweep, EveryFailedCallEndsInOrder) {
    const auto& [road, shard] = GetParam();
    const Baseline& baseline = baselineFor(road);
    ASSERT_EQ(baseline.clean.exitCode, 0);
    ASSERT_EQ(baseline.clean.err, "");
    const std::vector<std::string> cleanLines = lines(baseline.clean.out);
    ASSERT_GT(cleanLines.size(), 20u);
    ASSERT_EQ(cleanLines[cleanLines.size() - 2], "contatti trovati: 26 / 30");
    ASSERT_EQ(baseline.clean.journalHas("MAPIInitialize"), road.mapi);

    const std::vector<Fault> faults = faultsToSweep(baseline, road.mapi);
    std::size_t swept = 0;
    for (std::size_t index = static_cast<std::size_t>(shard); index < faults.size(); index += shardCount) {
        const Fault& fault = faults[index];
        Json profile = baseline.profile;
        profile["faults"].push_back(fault.yieldsNothing ? nullResult(fault.operation, fault.call)
                                                        : e2e::fault(fault.operation, fault.hresult, fault.call));
        RunOptions options;
        options.timeoutSeconds = 60;
        const RunResult result = run(profile, options);
        const std::string what = fault.operation + " call " + std::to_string(fault.call) +
                                 (fault.yieldsNothing ? " (no object)" : " (" + fault.hresult + ")");
        ++swept;

        ASSERT_FALSE(result.hung) << what;
        EXPECT_EQ(result.exitCode, 0) << what;
        const bool noAttachments = fault.operation == "_ContactItem.Attachments" && fault.yieldsNothing;
        EXPECT_EQ(result.err, noAttachments ? "Unabel to get Attachments." : "") << what;
        if (const std::optional<std::string> expected = absorbedOutput(baseline, fault)) {
            EXPECT_EQ(result.out, *expected) << what;
        } else {
            EXPECT_EQ(baseline.clean.out.compare(0, result.out.size(), result.out), 0)
                << what << ": not a prefix of the clean output:\n"
                << result.out;
            if (result.out == baseline.clean.out) {
                // A fault that changes nothing must be one the exporter never sees fail.
                EXPECT_EQ(fault.operation, "_Application.Version") << what;
            }
        }
        EXPECT_TRUE(endedInOrder(result)) << what;
        if (result.journalHas("MAPIInitialize")) {
            EXPECT_LT(result.indexOf("MAPIInitialize"), result.indexOf("MAPIUninitialize")) << what;
            EXPECT_LT(result.indexOf("MAPIUninitialize"), result.indexOf("mapi32 unloaded")) << what;
            EXPECT_EQ(result.indexOf("mapi32 unloaded"), result.journal.size() - 2) << what;
        }
    }
    RecordProperty("faults_swept", static_cast<int>(swept));
    std::cout << road.name << " shard " << shard << ": " << swept << " of " << faults.size() << " fault runs\n";
}

std::string caseName(const ::testing::TestParamInfo<FaultSweep::ParamType>& info) {
    return std::get<0>(info.param).name + "Shard" + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(AllOperations, FaultSweep,
                         ::testing::Combine(::testing::ValuesIn(roads), ::testing::Range(0, shardCount)), caseName);

}  // namespace
