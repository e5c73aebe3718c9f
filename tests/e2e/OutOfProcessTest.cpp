// The exporter is always another process than Outlook: Outlook's MAPI
// objects do not cross into it, Outlook may not start, may go away in the
// middle of a run, and the reader may stop reading. Each run must still end
// promptly and say truthfully how far it got.
#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

const std::string exchangeResolved = "/o=Contoso/ou=Exchange/cn=Recipients/cn=ada";
const std::string exchangeUnresolved = "/o=Contoso/ou=Exchange/cn=Recipients/cn=nobody";

// Addresses of every kind: SMTP, Exchange that resolves and that does not,
// empty pairs (an empty address with a type, a type alone), an 8-bit MAPI
// value, and a contact without any.
Json everyKindOfAddress() {
    const Json items = Json::array({
        {{"FullName", "Ada"},
         {"Email1Address", "ada@example.org"},
         {"Email1AddressType", "SMTP"},
         {"Email2Address", exchangeResolved},
         {"Email2AddressType", "EX"},
         {"Email3Address", exchangeUnresolved},
         {"Email3AddressType", "EX"}},
        {{"FullName", "Bea"},
         {"Email1Address", ""},
         {"Email1AddressType", "EX"},
         {"Email2AddressType", "SMTP"},
         {"Email3Address", "b\u00E9a@example.org"},
         {"mapiTypes", {{"Email3Address", "PT_STRING8"}}}},
        {{"class", "distlist"}},
        {{"FullName", "Cy"}},
        {{"FullName", "Di"}, {"Email2Address", "di/\"x\"@example.org"}},
    });
    const Json book = Json::array({{{"address", exchangeResolved}, {"smtp", "ada@contoso.example"}}});
    return {{"items", items}, {"addressBook", book}};
}

Json onServer(Json profile, const std::string& server) {
    profile["server"] = server;
    return profile;
}

Json withDiagnostics(Json profile) {
    profile["environment"]["CONTACT_EXPORTER_DIAGNOSTICS"] = "1";
    return profile;
}

// The operation lines of a journal, without name lookups and the stand-ins' own lines.
std::vector<std::string> operations(const std::vector<std::string>& journal) {
    std::vector<std::string> found;
    std::copy_if(journal.begin(), journal.end(), std::back_inserter(found), isOperation);
    return found;
}

class Servers : public ::testing::TestWithParam<std::string> {};

}  // namespace

// Outlook's MAPI objects have no proxy: from another process a contact's
// MAPIOBJECT gives no IMAPIProp. The addresses then come through the object
// model, for that contact and the rest of the run, and the export is the
// one the MAPI road writes.
using MapiObjectThatCannotCross = Servers;

TEST_P(MapiObjectThatCannotCross, TheAddressesComeThroughTheObjectModel) {
    const Json profile = onServer(everyKindOfAddress(), GetParam());
    const RunResult throughMapi = run(profile);
    Json unmarshallable = profile;
    unmarshallable["mapiObject"] = "unmarshallable";
    const RunResult fallback = run(unmarshallable);

    ASSERT_EQ(throughMapi.exitCode, 0);
    ASSERT_TRUE(throughMapi.journalHas("IMAPIProp.GetProps"));
    EXPECT_EQ(throughMapi.out,
              "{\"displayname\":\"Di\",\"emailaddrs\":[\"di\\/\\\"x\\\"@example.org\"],\"phones\":[]}\r\n"
              "{\"displayname\":\"Cy\",\"emailaddrs\":[],\"phones\":[]}\r\n"
              "{\"displayname\":\"Bea\",\"emailaddrs\":[\"b\xE9"
              "a@example.org\"],\"phones\":[]}\r\n"
              "{\"displayname\":\"Ada\",\"emailaddrs\":[\"ada@example.org\",\"ada@contoso.example\",\"\"],"
              "\"phones\":[]}\r\n"
              "contatti trovati: 4 / 5\r\n");
    EXPECT_EQ(fallback.out, throughMapi.out);
    EXPECT_EQ(fallback.err, "");
    EXPECT_EQ(fallback.exitCode, 0);

    // One MAPIOBJECT for the whole run, no MAPI call, and then each pair's
    // address before its type, with no type read for an empty address.
    const std::vector<std::string> calls = operations(fallback.journal);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "_ContactItem.MAPIOBJECT"), 1);
    EXPECT_FALSE(fallback.journalHas("IMAPIProp.GetIDsFromNames"));
    std::vector<std::string> emailReads;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(emailReads),
                 [](const std::string& call) { return call.rfind("_ContactItem.Email", 0) == 0; });
    EXPECT_EQ(emailReads,
              (std::vector<std::string>{
                  // Di
                  "_ContactItem.Email1Address", "_ContactItem.Email2Address", "_ContactItem.Email2AddressType",
                  "_ContactItem.Email3Address",
                  // Cy
                  "_ContactItem.Email1Address", "_ContactItem.Email2Address", "_ContactItem.Email3Address",
                  // Bea
                  "_ContactItem.Email1Address", "_ContactItem.Email2Address", "_ContactItem.Email3Address",
                  "_ContactItem.Email3AddressType",
                  // Ada
                  "_ContactItem.Email1Address", "_ContactItem.Email1AddressType", "_ContactItem.Email2Address",
                  "_ContactItem.Email2AddressType", "_ContactItem.Email3Address", "_ContactItem.Email3AddressType"}));
    // MAPI stays loaded and is ended in order.
    EXPECT_TRUE(fallback.journalHas("MAPIInitialize"));
    EXPECT_TRUE(endedInOrder(fallback));
}

TEST_P(MapiObjectThatCannotCross, DiagnosticsSayWhichRoadTheAddressesTook) {
    Json profile = withDiagnostics(onServer(everyKindOfAddress(), GetParam()));
    profile["mapiObject"] = "unmarshallable";
    const RunResult result = run(profile);
    EXPECT_EQ(result.err,
              "contact-exporter: QueryInterface IMAPIProp on MAPIOBJECT failed: 0x80004002 (E_NOINTERFACE). The "
              "e-mail addresses are read through the object model from here on.\r\n");
    EXPECT_EQ(lines(result.out).size(), 6u);
    EXPECT_TRUE(endedInOrder(result));
}

INSTANTIATE_TEST_SUITE_P(Servers, MapiObjectThatCannotCross, ::testing::Values("inprocess", "local"), serverName);

// Outlook cannot be started: without the variable the caller sees what it
// always saw; with it, one line that names the step, the result and what to
// do about it.
TEST(OutlookThatCannotStart, DiagnosticsNameTheReasonAndAHint) {
    struct Reason {
        const char* hresult;
        std::string line;
    };
    const Reason reasons[] = {
        {"0x80080005",
         "contact-exporter: CoCreateInstance Outlook.Application failed: 0x80080005 (CO_E_SERVER_EXEC_FAILURE). "
         "Outlook and the exporter may run at different elevations: run the exporter at the same elevation as "
         "Outlook (both as administrator, or neither).\r\n"},
        {"0x80040154",
         "contact-exporter: CoCreateInstance Outlook.Application failed: 0x80040154 (REGDB_E_CLASSNOTREG). "
         "Classic Outlook is not registered on this machine; the new Outlook for Windows has no COM automation "
         "and cannot be used.\r\n"},
        {"0x800401E3",
         "contact-exporter: CoCreateInstance Outlook.Application failed: 0x800401E3 (MK_E_UNAVAILABLE). Outlook "
         "could not be started, or it was switched to the new Outlook for Windows: start classic Outlook once by "
         "hand and try again.\r\n"},
    };
    for (const Reason& reason : reasons) {
        const Json profile =
            withFaults(mixedProfile(), Json::array({fault("Outlook.Application.create", reason.hresult)}));
        for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"-h"}}) {
            const std::string what = std::string(reason.hresult) + (arguments.empty() ? " export" : " status");
            const RunResult quiet = run(profile, arguments);
            EXPECT_EQ(quiet.out, arguments.empty() ? "" : "ko") << what;
            EXPECT_EQ(quiet.err, "") << what;
            EXPECT_EQ(quiet.exitCode, 0) << what;
            EXPECT_TRUE(endedInOrder(quiet)) << what;

            const RunResult told = run(withDiagnostics(profile), arguments);
            EXPECT_EQ(told.out, quiet.out) << what;
            EXPECT_EQ(told.err, reason.line) << what;
            EXPECT_EQ(told.exitCode, 0) << what;
        }
    }
}

TEST(OutlookThatCannotStart, AStartThatOutlookTurnsAwayIsMadeAgain) {
    Json profile = mixedProfile();
    const RunResult clean = run(profile);
    profile["faults"] = Json::array(
        {fault("Outlook.Application.create", "0x80010001", 1), fault("Outlook.Application.create", "0x80010001", 2)});
    const RunResult waited = run(profile);
    EXPECT_EQ(waited.out, clean.out);
    EXPECT_EQ(waited.err, "");
    EXPECT_EQ(waited.count("Outlook.Application.create"), 3u);
    EXPECT_TRUE(endedInOrder(waited));
}

// A failed call in the middle of the walk: with the variable, one line names
// the operation, its result and Outlook's description; the output and exit
// code are those of the run without it.
TEST(Diagnostics, AFailedCallIsNamedWithOutlooksDescription) {
    const Json failing =
        withFaults(mixedProfile(), Json::array({{{"operation", "_ContactItem.Attachments"},
                                                 {"hresult", "0x80004005"},
                                                 {"description", "The attachments of this item\r\ncannot be read."}},
                                                {{"operation", "_ContactItem.LastName"},
                                                 {"hresult", "0x8004010F"},
                                                 {"via", "excepinfo"},
                                                 {"description", "Objekt nicht gefunden \u00FCberall"}}}));
    const RunResult quiet = run(failing);
    const RunResult told = run(withDiagnostics(failing));
    EXPECT_EQ(told.out, quiet.out);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(told.err,
              "contact-exporter: _ContactItem.LastName failed: 0x8004010F (MAPI_E_NOT_FOUND): \"Objekt nicht "
              "gefunden \xC3\xBC"
              "berall\". The export stops here.\r\n");

    Json attachments = failing;
    attachments["faults"].erase(1);
    EXPECT_EQ(run(withDiagnostics(attachments)).err,
              "contact-exporter: _ContactItem.Attachments failed: 0x80004005 (E_FAIL): \"The attachments of this "
              "item  cannot be read.\". The export stops here.\r\n");
}

TEST(Diagnostics, FollowAMessageOnALineOfItsOwn) {
    const Json profile =
        withDiagnostics(withFaults(mixedProfile(), Json::array({nullResult("_ContactItem.Attachments")})));
    const RunResult result = run(profile);
    EXPECT_EQ(result.err,
              "Unabel to get Attachments.\r\n"
              "contact-exporter: _ContactItem.Attachments gave no attachments: the export stops here.\r\n");
    EXPECT_EQ(result.exitCode, 0);
}

// Outlook goes away (the user quits it, or it crashes): the calls after that
// fail as calls to a vanished server fail, and the run ends promptly, as a
// failed call ends it, with a prefix of the clean output and no trailer.
using OutlookGoesAway = Servers;

TEST_P(OutlookGoesAway, TheRunEndsPromptlyWithWhatItHad) {
    const Json profile = onServer(mixedProfile(), GetParam());
    const RunResult clean = run(profile);
    ASSERT_EQ(clean.exitCode, 0);
    const std::pair<const char*, long long> moments[] = {
        {"at start-up", 0},
        {"before the walk", operationsBefore(clean.journal, "_NameSpace.GetDefaultFolder")},
        {"in the middle of the walk", operationsBefore(clean.journal, "_Items.Item", 3)},
        {"during a picture", operationsBefore(clean.journal, "Attachment.SaveAsFile")},
        // Before the MAPI call that would give a contact's addresses: the
        // call's failure is no empty list.
        {"around the MAPI calls", operationsBefore(clean.journal, "IMAPIProp.GetProps", 3)},
    };
    for (const auto& [moment, after] : moments) {
        Json leaving = profile;
        leaving["goesAway"] = {{"after", after}};
        RunOptions options;
        options.timeoutSeconds = 30;
        const RunResult result = run(leaving, options);
        ASSERT_FALSE(result.hung) << moment;
        EXPECT_EQ(result.exitCode, 0) << moment;
        EXPECT_EQ(result.err, "") << moment;
        EXPECT_EQ(clean.out.compare(0, result.out.size(), result.out), 0) << moment << ": " << result.out;
        EXPECT_EQ(result.out.find("contatti trovati"), std::string::npos) << moment;
        EXPECT_TRUE(result.journalHas("server gone")) << moment;
        if (GetParam() == "inprocess") {
            EXPECT_TRUE(endedInOrder(result)) << moment;
        } else {
            // The server ended without a word; the exporter still ends MAPI
            // before it releases the library.
            EXPECT_EQ(liveObjectLines(result), 0u) << moment;
            if (result.journalHas("MAPIInitialize")) {
                EXPECT_LT(result.indexOf("MAPIUninitialize"), result.indexOf("mapi32 unloaded")) << moment;
            }
        }
    }
}

TEST_P(OutlookGoesAway, TheStatusQueryAnswersKo) {
    Json profile = onServer(mixedProfile(), GetParam());
    profile["goesAway"] = {{"after", 1}};
    const RunResult result = run(profile, {"-h"});
    EXPECT_EQ(result.out, "ko");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(result.journalHas("MAPIInitialize"));
}

INSTANTIATE_TEST_SUITE_P(Servers, OutlookGoesAway, ::testing::Values("inprocess", "local"), serverName);

// The reader takes the first record and closes its end of the pipe: the
// exporter stops at its next write instead of walking the whole folder for
// nobody. Each record holds a picture larger than the pipe, so the exporter
// is never more than one record ahead of its reader.
TEST(ReaderGoesAway, TheExportStopsAtTheNextWrite) {
    const std::string largePicture(128 * 1024, 'W');  // Base64 of 96 KB
    Json profile = {{"items", Json::array({{{"FullName", "Large"},
                                            {"HasPicture", true},
                                            {"attachments", Json::array({{{"base64", largePicture}}})}}})},
                    {"itemsRepeat", 500}};
    useOwnTemporaryDirectory(profile);
    RunOptions options;
    options.closeAfterFirstLine = true;
    options.timeoutSeconds = 60;
    const RunResult result = run(withDiagnostics(profile), options);
    ASSERT_FALSE(result.hung);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("{\"image\":\"", 0), 0u);
    EXPECT_LE(result.count("_ContactItem.HasPicture"), 2u);
    EXPECT_TRUE(endedInOrder(result));
    EXPECT_EQ(result.err.rfind("contact-exporter: WriteFile standard output failed: 0x800700", 0), 0u) << result.err;
}
