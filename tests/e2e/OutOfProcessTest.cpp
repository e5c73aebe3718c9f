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
// MAPIOBJECT gives no IMAPIProp. The exporter then opens a MAPI session of
// its own on Outlook's profile, which Outlook's security prompt does not
// guard, and the export is the one the MAPIOBJECT road writes.
using MapiObjectThatCannotCross = Servers;

namespace {

// The contacts' MAPI objects give no IMAPIProp in process too, as against
// the local server they never do.
Json unmarshallable(Json profile) {
    profile["mapiObject"] = "unmarshallable";
    return profile;
}

// The MAPI session's calls of a journal, in order.
std::vector<std::string> sessionCalls(const RunResult& run) {
    std::vector<std::string> found;
    std::copy_if(run.journal.begin(), run.journal.end(), std::back_inserter(found), isSessionOperation);
    return found;
}

}  // namespace

TEST_P(MapiObjectThatCannotCross, TheAddressesComeThroughASessionOfTheExportersOwn) {
    const RunResult throughMapiObject = run(everyKindOfAddress());
    ASSERT_TRUE(throughMapiObject.journalHas("IMAPIProp.GetProps"));
    EXPECT_EQ(throughMapiObject.out,
              "{\"displayname\":\"Di\",\"emailaddrs\":[\"di\\/\\\"x\\\"@example.org\"],\"phones\":[]}\r\n"
              "{\"displayname\":\"Cy\",\"emailaddrs\":[],\"phones\":[]}\r\n"
              "{\"displayname\":\"Bea\",\"emailaddrs\":[\"b\xE9"
              "a@example.org\"],\"phones\":[]}\r\n"
              "{\"displayname\":\"Ada\",\"emailaddrs\":[\"ada@example.org\",\"ada@contoso.example\",\"\"],"
              "\"phones\":[]}\r\n"
              "contatti trovati: 4 / 5\r\n");

    // No guarded member is called: where Outlook denies every prompt, the
    // export is the same, and no prompt was ever shown.
    Json profile = unmarshallable(onServer(everyKindOfAddress(), GetParam()));
    profile["guard"] = "denied";
    const RunResult session = run(profile);
    EXPECT_EQ(session.out, throughMapiObject.out);
    EXPECT_EQ(session.err, "");
    EXPECT_EQ(session.exitCode, 0);
    EXPECT_FALSE(session.journalHas("guard prompt"));

    // One MAPIOBJECT, the profile's name and the store's id once for the
    // run, each contact's EntryID; no e-mail member of the object model.
    const std::vector<std::string> calls = operations(session.journal);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "_ContactItem.MAPIOBJECT"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "_NameSpace.CurrentProfileName"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "MAPIFolder.StoreID"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "_ContactItem.EntryID"), 4);
    EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), [](const std::string& call) {
        return call.rfind("_ContactItem.Email", 0) == 0 || call.rfind("AddressEntry.", 0) == 0;
    }));
    // The session's calls, as Wine's conformance tests list them: the logon,
    // the store, then for each contact its message and its properties (the
    // names asked once), the address book when the first Exchange address
    // needs it, an entry for each Exchange address, and the logoff.
    EXPECT_EQ(sessionCalls(session),
              (std::vector<std::string>{
                  "MAPILogonEx", "IMAPISession.OpenMsgStore",
                  // Di, Cy, Bea
                  "IMsgStore.OpenEntry", "IMessage.GetIDsFromNames", "IMessage.GetProps", "IMsgStore.OpenEntry",
                  "IMessage.GetProps", "IMsgStore.OpenEntry", "IMessage.GetProps",
                  // Ada: two Exchange addresses, one without an entry behind it
                  "IMsgStore.OpenEntry", "IMessage.GetProps", "IMAPISession.OpenAddressBook", "IAddrBook.OpenEntry",
                  "IMailUser.GetProps", "IAddrBook.OpenEntry", "IMAPISession.Logoff"}));
    // The session is logged off and every MAPI object released before MAPI
    // is ended.
    EXPECT_LT(session.indexOf("IMAPISession.Logoff"), session.indexOf("MAPIUninitialize"));
    EXPECT_TRUE(endedInOrder(session));
}

TEST_P(MapiObjectThatCannotCross, DiagnosticsSayWhichRoadTheAddressesTook) {
    const Json profile = withDiagnostics(unmarshallable(onServer(everyKindOfAddress(), GetParam())));
    const RunResult result = run(profile);
    EXPECT_EQ(result.err,
              "contact-exporter: QueryInterface IMAPIProp on MAPIOBJECT failed: 0x80004002 (E_NOINTERFACE). "
              "Outlook's MAPI objects do not reach this process.\r\n"
              "contact-exporter: The e-mail addresses are read through a MAPI session of the exporter's own on the "
              "profile \"Outlook\", which Outlook's security prompt does not guard.\r\n");
    EXPECT_EQ(lines(result.out).size(), 6u);
    EXPECT_TRUE(endedInOrder(result));
}

// Where the session cannot be had, the addresses come through the object
// model's guarded members, the same addresses; the diagnostics say why and
// that Outlook may prompt. A profile named outside the ANSI code page is
// logged on to all the same.
TEST_P(MapiObjectThatCannotCross, WithoutASessionTheObjectModelReadsTheSameAddresses) {
    const RunResult reference = run(everyKindOfAddress());
    struct Failure {
        Json fault;
        std::string reason;
    };
    const Failure failures[] = {
        {fault("MAPILogonEx", "0x80040111"), "MAPILogonEx failed: 0x80040111 (MAPI_E_LOGON_FAILED)."},
        {fault("_NameSpace.CurrentProfileName"), "_NameSpace.CurrentProfileName failed: 0x80004005 (E_FAIL)."},
        {fault("MAPIFolder.StoreID"), "MAPIFolder.StoreID failed: 0x80004005 (E_FAIL)."},
        {fault("IMAPISession.OpenMsgStore", "0x80040201"),
         "IMAPISession.OpenMsgStore failed: 0x80040201 (MAPI_E_UNKNOWN_ENTRYID)."},
    };
    for (const Failure& failure : failures) {
        const std::string what = failure.fault["operation"];
        const RunResult result = run(withDiagnostics(
            withFaults(unmarshallable(onServer(everyKindOfAddress(), GetParam())), Json::array({failure.fault}))));
        EXPECT_EQ(result.out, reference.out) << what;
        EXPECT_EQ(result.err,
                  "contact-exporter: QueryInterface IMAPIProp on MAPIOBJECT failed: 0x80004002 (E_NOINTERFACE). "
                  "Outlook's MAPI objects do not reach this process.\r\n"
                  "contact-exporter: " +
                      failure.reason +
                      " The exporter has no MAPI session of its own.\r\n"
                      "contact-exporter: The e-mail addresses are read through the object model from here on; "
                      "Outlook may show its security prompt.\r\n")
            << what;
        EXPECT_TRUE(result.journalHas("_ContactItem.Email1Address")) << what;
        EXPECT_TRUE(endedInOrder(result)) << what;
    }

    // The session opens, but cannot name the properties in the store.
    const RunResult unnamed =
        run(withDiagnostics(withFaults(unmarshallable(onServer(everyKindOfAddress(), GetParam())),
                                       Json::array({fault("IMessage.GetIDsFromNames", "0x80040115")}))));
    EXPECT_EQ(unnamed.out, reference.out);
    EXPECT_EQ(unnamed.err.substr(unnamed.err.find("IMessage.GetIDsFromNames")),
              "IMessage.GetIDsFromNames failed: 0x80040115 (MAPI_E_NETWORK_ERROR). The exporter's MAPI session "
              "cannot name the e-mail properties in the contacts' store.\r\n"
              "contact-exporter: The e-mail addresses are read through the object model from here on; Outlook may "
              "show its security prompt.\r\n");

    Json foreignProfile = unmarshallable(onServer(everyKindOfAddress(), GetParam()));
    foreignProfile["profileName"] = "Profilo \u5C71\u7530 \u03A9";
    const RunResult foreign = run(foreignProfile);
    EXPECT_EQ(foreign.out, reference.out);
    EXPECT_TRUE(foreign.journalHas("IMessage.GetProps"));
    EXPECT_FALSE(foreign.journalHas("_ContactItem.Email1Address"));
}

// Recent versions of Outlook's MAPI know a session for a program in another
// process (MAPI_BG_SESSION); older ones refuse the flag, and the logon is
// made again without it.
TEST_P(MapiObjectThatCannotCross, ALogonRefusedForItsFlagIsMadeAgainWithoutIt) {
    const RunResult result = run(withFaults(unmarshallable(onServer(everyKindOfAddress(), GetParam())),
                                            Json::array({fault("MAPILogonEx", "0x80040106")})));
    EXPECT_EQ(result.count("MAPILogonEx"), 2u);
    EXPECT_TRUE(result.journalHas("IMessage.GetProps"));
    EXPECT_FALSE(result.journalHas("_ContactItem.Email1Address"));
    EXPECT_EQ(lines(result.out).size(), 6u);
    EXPECT_TRUE(endedInOrder(result));
}

// Where the e-mail addresses must take the object model's guarded members
// and the user denies Outlook's security prompt, the guarded call fails with
// E_ABORT and the walk ends as on any failed call: no trailer, and with
// diagnostics a line that names the prompt and the way out.
TEST_P(MapiObjectThatCannotCross, ADeniedPromptEndsTheWalkAndSaysSo) {
    Json profile = withDiagnostics(
        withFaults(unmarshallable(onServer(everyKindOfAddress(), GetParam())), Json::array({fault("MAPILogonEx")})));
    profile["guard"] = "denied";
    const RunResult result = run(profile);
    EXPECT_EQ(result.out, "{\"displayname\":\"Di\",\"emailaddrs\":[");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.count("guard prompt"), 1u);
    const std::string denied = deniedPromptDiagnostics + "\r\n";
    EXPECT_GE(result.err.size(), denied.size());
    EXPECT_EQ(result.err.substr(result.err.size() - std::min(result.err.size(), denied.size())), denied);
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
        // call's failure is no empty list. Against the local server, whose
        // MAPI objects never cross, before the EntryID that the exporter's
        // own session opens a contact by; the session itself lives on.
        {"around the MAPI calls", GetParam() == "local" ? operationsBefore(clean.journal, "_ContactItem.EntryID", 3)
                                                        : operationsBefore(clean.journal, "IMAPIProp.GetProps", 3)},
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
            // The server ended without a word, and the session of the
            // exporter's own released all it had; the exporter still ends
            // MAPI before it releases the library.
            EXPECT_EQ(liveObjectLines(result), result.journalHas("MAPILogonEx") ? 1u : 0u) << moment;
            EXPECT_EQ(result.count("live-objects 0"), liveObjectLines(result)) << moment;
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
