// The stand-ins checked directly, as Wine's conformance tests check a
// library: standin-probe.exe makes the calls and prints what each answered,
// and both its output and the journal are compared with the lists here.

#include "ExporterRun.h"

namespace e2e {
namespace {

RunResult probe(const Json& profile, std::vector<std::string> steps, int timeoutSeconds = 120) {
    RunOptions options;
    options.program = "standin-probe.exe";
    options.arguments = std::move(steps);
    options.timeoutSeconds = timeoutSeconds;
    return run(profile, options);
}

// The probe's lines, one a step.
std::vector<std::string> stepLines(const std::string& out) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(out.substr(start, end - start));
    }
    return lines;
}

std::string output(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// A journal without its name lookups, for the object-model calls whose
// lookups are not what a test is about.
std::vector<std::string> withoutLookups(const std::vector<std::string>& journal) {
    std::vector<std::string> operations;
    for (const std::string& line : journal) {
        if (line.rfind("GetIDsOfNames ", 0) != 0) operations.push_back(line);
    }
    return operations;
}

std::vector<std::string> concatenated(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const std::vector<std::string> connected = {"Outlook.Application.create", "_Application.GetNamespace",
                                            "_NameSpace.GetDefaultFolder", "MAPIFolder.Items"};

// What a run that loaded MAPI, logged on and released everything ends with.
const std::vector<std::string> mapiEnded = {"MAPIUninitialize", "live-objects 0", "mapi32 unloaded"};

const std::string defaultStoreId = "0000000038A1BB1005E5101AA1BB08002B2A56C200000001";
std::string defaultEntryId(int position) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", position);
    return "000000005C0A7E513B2D4E119A6F006097C30FD2" + std::string(digits);
}

// The original entry id the stand-in makes of an Exchange address.
std::string exchangeEntryId(const std::string& address) {
    std::string hex = "00000000DCA740C8C042101AB4B908002B2FE1820100000000000000";
    char pair[3];
    for (unsigned char byte : address) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        hex += pair;
    }
    return hex + "00";
}

constexpr const char* logon = "logon 0x20 Outlook";

TEST(MapiSessionLogon, RefusesInterfaceSharingAndOtherProfilesAndAcceptsTheProfileOrTheDefault) {
    const Json profile = {{"profileName", "\u041F\u043E\u0447\u0442\u0430"}};  // Почта: no ANSI form on 1252
    const RunResult result = probe(
        profile, {"load", "logon 0x0 \u041F\u043E\u0447\u0442\u0430", "logon 0x80000021 \u041F\u043E\u0447\u0442\u0430",
                  "logon 0x80020020 \u041F\u043E\u0447\u0442\u0430", "logon 0x80000028 \u041F\u043E\u0447\u0442\u0430",
                  "logon 0x80000020 Outlook", "logon 0x20 \u041F\u043E\u0447\u0442\u0430", "logon 0x20 -",
                  "logon 0x80000020 \u041F\u043E\u0447\u0442\u044B", "logon 0x80208022 \u043F\u043E\u0447\u0442\u0430",
                  "logon 0x60 Other", "logon 0x61 Other"});
    EXPECT_EQ(result.out,
              output({"load: 0x00000000", "logon 0x0 \u041F\u043E\u0447\u0442\u0430: 0x80040111",
                      "logon 0x80000021 \u041F\u043E\u0447\u0442\u0430: 0x80040111",
                      "logon 0x80020020 \u041F\u043E\u0447\u0442\u0430: 0x80040111",
                      "logon 0x80000028 \u041F\u043E\u0447\u0442\u0430: 0x80040111",
                      "logon 0x80000020 Outlook: 0x80040111", "logon 0x20 \u041F\u043E\u0447\u0442\u0430: 0x80040111",
                      "logon 0x20 -: 0x80040111", "logon 0x80000020 \u041F\u043E\u0447\u0442\u044B: 0x80040111",
                      "logon 0x80208022 \u043F\u043E\u0447\u0442\u0430: 0x00000000 session",
                      "logon 0x60 Other: 0x00000000 session", "logon 0x61 Other: 0x80040111"}));
    std::vector<std::string> journal = {"MAPIInitialize"};
    journal.insert(journal.end(), 11, "MAPILogonEx");
    EXPECT_EQ(result.journal, concatenated(journal, mapiEnded));
}

TEST(MapiSessionLogon, ReadsAnAnsiNameInTheCodePage) {
    const RunResult result = probe({{"profileName", "B\u00FCro"}}, {"load", "logon 0x20 b\u00FCro"});
    EXPECT_EQ(result.out, output({"load: 0x00000000", "logon 0x20 b\u00FCro: 0x00000000 session"}));
}

TEST(MapiSessionStore, OpensTheFolderStoreToReadAndContactsByTheirEntryIds) {
    const Json items = Json::array(
        {{{"FullName", "Given"}, {"EntryID", "0a0B0c"}}, {{"FullName", "Default"}}, {{"class", "distlist"}}});
    const RunResult result = probe(
        {{"items", items}},
        {"om", "store-id", "item 1 EntryID", "item 2 EntryID", "load", logon, "open-store 0 0000",
         "open-store 4 @store", "open-store 0 @store", "open-entry 0 0A0B0C", "open-entry 0 @2", "open-entry 1 @2",
         "open-entry 0 @2 store", "open-entry 0 @2 message", "open-entry 0 " + defaultEntryId(2),
         "open-entry 0 " + defaultEntryId(0), "open-entry 0 " + defaultEntryId(3), "open-entry 0 0102"});
    EXPECT_EQ(
        result.out,
        output({"om: 0x00000000", "store-id: VT_BSTR \"" + defaultStoreId + "\"", "item 1 EntryID: VT_BSTR \"0a0B0c\"",
                "item 2 EntryID: VT_BSTR \"" + defaultEntryId(1) + "\"", "load: 0x00000000",
                std::string(logon) + ": 0x00000000 session", "open-store 0 0000: 0x80040201",
                "open-store 4 @store: 0x80070005", "open-store 0 @store: 0x00000000 store",
                "open-entry 0 0A0B0C: 0x00000000 type 5 message", "open-entry 0 @2: 0x00000000 type 5 message",
                "open-entry 1 @2: 0x8004010F type 0", "open-entry 0 @2 store: 0x80004002 type 0",
                "open-entry 0 @2 message: 0x00000000 type 5 message",
                "open-entry 0 " + defaultEntryId(2) + ": 0x8004010F type 0",
                "open-entry 0 " + defaultEntryId(0) + ": 0x8004010F type 0",
                "open-entry 0 " + defaultEntryId(3) + ": 0x8004010F type 0", "open-entry 0 0102: 0x8004010F type 0"}));
    const std::vector<std::string> operations = withoutLookups(result.journal);
    const std::vector<std::string> expected =
        concatenated(connected, {"MAPIFolder.StoreID",   "_Items.Item",
                                 "_ContactItem.EntryID", "_Items.Item",
                                 "_ContactItem.EntryID", "MAPIInitialize",
                                 "MAPILogonEx",          "IMAPISession.OpenMsgStore",
                                 "MAPIFolder.StoreID",   "IMAPISession.OpenMsgStore",
                                 "MAPIFolder.StoreID",   "IMAPISession.OpenMsgStore",
                                 "IMsgStore.OpenEntry",  "_Items.Item",
                                 "_ContactItem.EntryID", "IMsgStore.OpenEntry",
                                 "_Items.Item",          "_ContactItem.EntryID",
                                 "IMsgStore.OpenEntry",  "_Items.Item",
                                 "_ContactItem.EntryID", "IMsgStore.OpenEntry",
                                 "_Items.Item",          "_ContactItem.EntryID",
                                 "IMsgStore.OpenEntry",  "IMsgStore.OpenEntry",
                                 "IMsgStore.OpenEntry",  "IMsgStore.OpenEntry",
                                 "IMsgStore.OpenEntry",  "MAPIUninitialize",
                                 "live-objects 0",       "mapi32 unloaded",
                                 "live-objects 0"});
    EXPECT_EQ(operations, expected);
}

TEST(MapiSessionStore, TakesTheProfileStoreIdInEitherCase) {
    const RunResult result =
        probe({{"storeId", "ABCDEF0123"}}, {"load", logon, "open-store 0 abcdef0123", "open-store 0 ABCDEF01"});
    EXPECT_EQ(result.out, output({"load: 0x00000000", std::string(logon) + ": 0x00000000 session",
                                  "open-store 0 abcdef0123: 0x00000000 store", "open-store 0 ABCDEF01: 0x80040201"}));
}

TEST(MapiSessionStore, GivesEveryRepeatedItemAnEntryIdOfItsOwn) {
    const Json items =
        Json::array({{{"Email1Address", "first@example.com"}}, {{"Email1Address", "second@example.com"}}});
    const RunResult result =
        probe({{"items", items}, {"itemsRepeat", 3}, {"storeId", "01"}},
              {"om", "item 1 EntryID", "item 3 EntryID", "item 6 EntryID", "load", logon, "open-store 0 01",
               "open-entry 0 @5", "get-ids", "get-props", "open-entry 0 @6", "get-ids", "get-props"});
    const std::string ids =
        "0x00000000 0x8A010000 0x8A020000 0x8A030000 0x8A040000 0x8A050000 0x8A060000 "
        "0x8A070000 0x8A080000 0x8A090000";
    const auto values = [](const std::string& address) {
        return "0x00040380 9 [0x8A01001F \"" + address +
               "\"] [0x8A02000A error 0x8004010F] [0x8A03000A error 0x8004010F] [0x8A04000A error 0x8004010F] "
               "[0x8A05000A error 0x8004010F] [0x8A06000A error 0x8004010F] [0x8A07000A error 0x8004010F] "
               "[0x8A08000A error 0x8004010F] [0x8A09000A error 0x8004010F]";
    };
    EXPECT_EQ(result.out,
              output({"om: 0x00000000", "item 1 EntryID: VT_BSTR \"" + defaultEntryId(0) + "\"",
                      "item 3 EntryID: VT_BSTR \"" + defaultEntryId(2) + "\"",
                      "item 6 EntryID: VT_BSTR \"" + defaultEntryId(5) + "\"", "load: 0x00000000",
                      std::string(logon) + ": 0x00000000 session", "open-store 0 01: 0x00000000 store",
                      "open-entry 0 @5: 0x00000000 type 5 message", "get-ids: " + ids,
                      "get-props: " + values("first@example.com"), "open-entry 0 @6: 0x00000000 type 5 message",
                      "get-ids: " + ids, "get-props: " + values("second@example.com")}));
}

TEST(MapiSessionMessage, AnswersTheNinePropertiesInEveryFormAndCount) {
    const std::string exchange = "/o=Contoso/ou=Exchange/cn=Recipients/cn=b\u00E9a";
    const Json items = Json::array({
        {{"Email1Address", exchange},
         {"Email1AddressType", "EX"},
         {"Email2Address", "Zo\u00EB"},
         {"Email2AddressType", "ex"},
         {"Email2OriginalEntryId", nullptr},
         {"Email3Address", {{"bytes", {0x41, 0xFF}}}},
         {"Email3AddressType", "SMTP"},
         {"mapiTypes", {{"Email2Address", "PT_STRING8"}, {"Email3AddressType", "PT_ERROR"}}}},
        {{"Email1Address", "plain@example.com"}, {"Email1AddressType", "SMTP"}, {"mapiValueCount", 2}},
    });
    const RunResult result = probe({{"items", items}, {"storeId", "01"}},
                                   {"load", logon, "open-store 0 01", "open-entry 0 " + defaultEntryId(0), "get-ids",
                                    "get-props", "open-entry 0 " + defaultEntryId(1), "get-ids", "get-props"});
    EXPECT_EQ(
        result.out,
        output({"load: 0x00000000", std::string(logon) + ": 0x00000000 session", "open-store 0 01: 0x00000000 store",
                "open-entry 0 " + defaultEntryId(0) + ": 0x00000000 type 5 message",
                "get-ids: 0x00000000 0x8A010000 0x8A020000 0x8A030000 0x8A040000 0x8A050000 0x8A060000 "
                "0x8A070000 0x8A080000 0x8A090000",
                "get-props: 0x00040380 9 [0x8A01001F \"" + exchange +
                    "\"] [0x8A02001F \"EX\"] [0x8A03001E bytes 5A6FEB] [0x8A04001F \"ex\"] [0x8A05001E bytes "
                    "41FF] [0x8A06000A error 0x8004010F] [0x8A070102 binary " +
                    exchangeEntryId(exchange) + "] [0x8A08000A error 0x8004010F] [0x8A09000A error 0x8004010F]",
                "open-entry 0 " + defaultEntryId(1) + ": 0x00000000 type 5 message",
                "get-ids: 0x00000000 0x8A010000 0x8A020000 0x8A030000 0x8A040000 0x8A050000 0x8A060000 "
                "0x8A070000 0x8A080000 0x8A090000",
                "get-props: 0x00000000 2 [0x8A01001F \"plain@example.com\"] [0x8A02001F \"SMTP\"]"}));
    EXPECT_EQ(result.journal,
              concatenated({"MAPIInitialize", "MAPILogonEx", "IMAPISession.OpenMsgStore", "IMsgStore.OpenEntry",
                            "IMessage.GetIDsFromNames", "MAPIFreeBuffer", "IMessage.GetProps", "MAPIFreeBuffer",
                            "IMsgStore.OpenEntry", "IMessage.GetIDsFromNames", "MAPIFreeBuffer", "IMessage.GetProps",
                            "MAPIFreeBuffer"},
                           mapiEnded));
}

TEST(MapiSessionAddressBook, OpensTheEntryOfAnOriginalEntryIdAndGivesItsAddresses) {
    const auto exchangeContact = [](const std::string& first, const std::string& second, const std::string& third) {
        return Json{{"Email1Address", first},    {"Email1AddressType", "EX"}, {"Email2Address", second},
                    {"Email2AddressType", "EX"}, {"Email3Address", third},    {"Email3AddressType", "EX"}};
    };
    const Json items = Json::array({exchangeContact("/cn=found", "/cn=absent", "/cn=unresolved"),
                                    exchangeContact("/cn=nosmtp", "/cn=smtpmissing", "/cn=smtpfails")});
    const Json book = Json::array({
        {{"address", "/cn=found"}, {"smtp", "found@example.com"}, {"entryAddress", "/CN=FOUND"}},
        {{"address", "/cn=unresolved"}, {"resolves", false}, {"smtp", "x@example.com"}},
        {{"address", "/cn=nosmtp"}},
        {{"address", "/cn=smtpmissing"}, {"smtp", {{"hresult", "0x8004010F"}}}},
        {{"address", "/cn=smtpfails"}, {"smtp", {{"hresult", "0x80004005"}}}},
    });
    const RunResult result =
        probe({{"items", items}, {"addressBook", book}, {"storeId", "01"}}, {"load",
                                                                             logon,
                                                                             "open-store 0 01",
                                                                             "open-address-book",
                                                                             "open-entry 0 " + defaultEntryId(0),
                                                                             "get-ids",
                                                                             "get-props",
                                                                             "open-user @1",
                                                                             "user-props",
                                                                             "open-user @2",
                                                                             "open-user @3",
                                                                             "open-entry 0 " + defaultEntryId(1),
                                                                             "get-ids",
                                                                             "get-props",
                                                                             "open-user @1",
                                                                             "user-props",
                                                                             "open-user @2",
                                                                             "user-props",
                                                                             "open-user @3",
                                                                             "user-props",
                                                                             "open-user 0102"});
    const std::vector<std::string> lines = stepLines(result.out);
    // The message lines are the properties test's; the address book's are these.
    std::vector<std::string> userLines;
    for (const std::string& line : lines) {
        if (line.rfind("open-user", 0) == 0 || line.rfind("user-props", 0) == 0 || line.rfind("open-address", 0) == 0)
            userLines.push_back(line);
    }
    EXPECT_EQ(userLines, (std::vector<std::string>{
                             "open-address-book: 0x00000000 book", "open-user @1: 0x00000000 type 6 user",
                             "user-props: 0x00000000 2 [0x3003001F \"/CN=FOUND\"] [0x39FE001F \"found@example.com\"]",
                             "open-user @2: 0x8004010F type 0", "open-user @3: 0x8004010F type 0",
                             "open-user @1: 0x00000000 type 6 user",
                             "user-props: 0x00040380 2 [0x3003001F \"/cn=nosmtp\"] [0x39FE000A error 0x8004010F]",
                             "open-user @2: 0x00000000 type 6 user",
                             "user-props: 0x00040380 2 [0x3003001F \"/cn=smtpmissing\"] [0x39FE000A error 0x8004010F]",
                             "open-user @3: 0x00000000 type 6 user", "user-props: 0x80004005 0",
                             "open-user 0102: 0x80040201 type 0"}));
    EXPECT_EQ(result.count("IAddrBook.OpenEntry"), 7u);
    EXPECT_EQ(result.count("IMailUser.GetProps"), 4u);
    EXPECT_EQ(result.journal.back(), "mapi32 unloaded");
    EXPECT_EQ(result.journal[result.journal.size() - 2], "live-objects 0");
}

TEST(MapiSessionFaults, FailEachOperationOrYieldNoObject) {
    const Json faults = Json::array({
        fault("MAPILogonEx", "0x80040111"),
        nullResult("MAPILogonEx", 2),
        nullResult("IMAPISession.OpenMsgStore"),
        fault("IMsgStore.OpenEntry", "0x80004005"),
        fault("IMessage.GetIDsFromNames", "0x8007000E"),
        nullResult("IMessage.GetProps"),
        nullResult("IMAPISession.OpenAddressBook"),
        fault("IAddrBook.OpenEntry", "0x80040201"),
        fault("IMailUser.GetProps", "0x80004005"),
        fault("IMAPISession.Logoff", "0x80004005"),
    });
    const Json items = Json::array({{{"Email1Address", "/cn=x"}, {"Email1AddressType", "EX"}}});
    const Json book = Json::array({{{"address", "/cn=x"}, {"smtp", "x@example.com"}}});
    const RunResult result = probe({{"items", items}, {"addressBook", book}, {"storeId", "01"}, {"faults", faults}},
                                   {"load",
                                    logon,
                                    logon,
                                    logon,
                                    "open-store 0 01",
                                    "open-store 0 01",
                                    "open-entry 0 " + defaultEntryId(0),
                                    "open-entry 0 " + defaultEntryId(0),
                                    "get-ids",
                                    "get-ids",
                                    "get-props",
                                    "get-props",
                                    "open-address-book",
                                    "open-address-book",
                                    "open-user @1",
                                    "open-user @1",
                                    "user-props",
                                    "user-props",
                                    "logoff",
                                    "logoff"});
    EXPECT_EQ(result.out,
              output({"load: 0x00000000",
                      std::string(logon) + ": 0x80040111",
                      std::string(logon) + ": 0x00000000",
                      std::string(logon) + ": 0x00000000 session",
                      "open-store 0 01: 0x00000000",
                      "open-store 0 01: 0x00000000 store",
                      "open-entry 0 " + defaultEntryId(0) + ": 0x80004005 type 0",
                      "open-entry 0 " + defaultEntryId(0) + ": 0x00000000 type 5 message",
                      "get-ids: 0x8007000E",
                      "get-ids: 0x00000000 0x8A010000 0x8A020000 0x8A030000 0x8A040000 0x8A050000 0x8A060000 "
                      "0x8A070000 0x8A080000 0x8A090000",
                      "get-props: 0x00000000 0",
                      "get-props: 0x00040380 9 [0x8A01001F \"/cn=x\"] [0x8A02001F \"EX\"] [0x8A03000A error "
                      "0x8004010F] [0x8A04000A error 0x8004010F] [0x8A05000A error 0x8004010F] [0x8A06000A error "
                      "0x8004010F] [0x8A070102 binary " +
                          exchangeEntryId("/cn=x") + "] [0x8A08000A error 0x8004010F] [0x8A09000A error 0x8004010F]",
                      "open-address-book: 0x00000000",
                      "open-address-book: 0x00000000 book",
                      "open-user @1: 0x80040201 type 0",
                      "open-user @1: 0x00000000 type 6 user",
                      "user-props: 0x80004005 0",
                      "user-props: 0x00000000 2 [0x3003001F \"/cn=x\"] [0x39FE001F \"x@example.com\"]",
                      "logoff: 0x80004005",
                      "logoff: 0x00000000"}));
}

// The session runs in the client's own process: no busy window turns it
// away, it is no operation that Outlook's going away counts, and it goes on
// after Outlook went away.
TEST(MapiSessionProcess, IsNeverTurnedAwayAndOutlivesOutlook) {
    const Json items = Json::array({{{"Email1Address", "a@example.com"}}});
    const Json profile = {{"items", items},
                          {"storeId", "01"},
                          {"busy", Json::array({{{"after", 0}, {"rejections", "always"}}})},
                          {"goesAway", {{"after", 1}}}};
    const RunResult result = probe(
        profile, {"load", logon, "open-store 0 01", "open-entry 0 " + defaultEntryId(0), "get-ids", "om", "get-props"});
    EXPECT_EQ(result.count("rejected"), 0u);
    const std::vector<std::string> lines = stepLines(result.out);
    ASSERT_EQ(lines.size(), 7u) << result.out;
    EXPECT_EQ(lines[3], "open-entry 0 " + defaultEntryId(0) + ": 0x00000000 type 5 message");
    EXPECT_EQ(lines[5], "om: 0x80010108");
    EXPECT_EQ(lines[6].rfind("get-props: 0x00040380 9 [0x8A01001F \"a@example.com\"]", 0), 0u) << lines[6];
    expectCallsInOrder(result, {"IMessage.GetIDsFromNames", "Outlook.Application.create", "server gone",
                                "IMessage.GetProps", "MAPIUninitialize", "live-objects 0", "mapi32 unloaded"});
}

TEST(MapiSessionLiveObjects, ReportsAnObjectLeftUnreleasedAndNothingWithoutALogon) {
    const RunResult leaked = probe({{"storeId", "01"}}, {"load", logon, "open-store 0 01", "leak store"});
    EXPECT_EQ(leaked.journal, (std::vector<std::string>{"MAPIInitialize", "MAPILogonEx", "IMAPISession.OpenMsgStore",
                                                        "MAPIUninitialize", "live-objects 1", "mapi32 unloaded"}));
    const RunResult withoutLogon = probe(Json::object(), {"load"});
    EXPECT_EQ(withoutLogon.journal,
              (std::vector<std::string>{"MAPIInitialize", "MAPIUninitialize", "mapi32 unloaded"}));
}

class ObjectModelMembers : public ::testing::TestWithParam<std::string> {};

TEST_P(ObjectModelMembers, ClassOfEveryItemAndTheNewContactMembers) {
    const Json items = Json::array({
        {{"FullName", "C"}, {"LastModificationTime", "1999-12-31T23:59:58"}},
        {{"class", "distlist"}},
        {{"class", "mail"}},
        {{"class", "note"}},
        {{"class", "task"}},
        {{"class", "appointment"}},
        {{"class", "post"}},
        {{"class", "contact"}, {"Class", 99}},
        {{"FullName", "D"}},
    });
    const Json profile = {{"server", GetParam()}, {"items", items}, {"profileName", "Ufficio"}, {"storeId", "0a"}};
    const RunResult result =
        probe(profile, {"om", "profile-name", "store-id", "item 1 Class", "item 2 Class", "item 3 Class",
                        "item 4 Class", "item 5 Class", "item 6 Class", "item 7 Class", "item 8 Class",
                        "item 1 LastModificationTime", "item 9 LastModificationTime", "item 9 EntryID"});
    EXPECT_EQ(result.out, output({"om: 0x00000000", "profile-name: VT_BSTR \"Ufficio\"", "store-id: VT_BSTR \"0a\"",
                                  "item 1 Class: VT_I4 40", "item 2 Class: VT_I4 69", "item 3 Class: VT_I4 43",
                                  "item 4 Class: VT_I4 44", "item 5 Class: VT_I4 48", "item 6 Class: VT_I4 26",
                                  "item 7 Class: VT_I4 0", "item 8 Class: VT_I4 99",
                                  "item 1 LastModificationTime: VT_DATE 36525.999977 1999-12-31T23:59:58",
                                  "item 9 LastModificationTime: VT_DATE 46024.127836 2026-01-02T03:04:05",
                                  "item 9 EntryID: VT_BSTR \"" + defaultEntryId(8) + "\""}));
    expectCallsInOrder(result, {"GetIDsOfNames _NameSpace.CurrentProfileName",
                                "_NameSpace.CurrentProfileName",
                                "GetIDsOfNames MAPIFolder.StoreID",
                                "MAPIFolder.StoreID",
                                "GetIDsOfNames _ContactItem.Class",
                                "item.Class",
                                "GetIDsOfNames _DistListItem.Class",
                                "item.Class",
                                "GetIDsOfNames _MailItem.Class",
                                "item.Class",
                                "GetIDsOfNames _NoteItem.Class",
                                "item.Class",
                                "GetIDsOfNames _TaskItem.Class",
                                "item.Class",
                                "GetIDsOfNames _AppointmentItem.Class",
                                "item.Class",
                                "GetIDsOfNames _PostItem.Class",
                                "item.Class",
                                "GetIDsOfNames _ContactItem.Class",
                                "item.Class",
                                "_ContactItem.LastModificationTime",
                                "_ContactItem.LastModificationTime",
                                "_ContactItem.EntryID"});
    EXPECT_EQ(result.count("item.Class"), 8u);
    EXPECT_TRUE(endedInOrder(result));
}

TEST_P(ObjectModelMembers, NewMembersFailAndYieldNothingAsTheirFaultsSay) {
    const Json faults = Json::array({fault("item.Class", "0x80020009", 2), nullResult("_ContactItem.EntryID"),
                                     fault("MAPIFolder.StoreID"), nullResult("_NameSpace.CurrentProfileName"),
                                     nullResult("_ContactItem.LastModificationTime")});
    const Json profile = {{"server", GetParam()}, {"items", Json::array({Json::object()})}, {"faults", faults}};
    const RunResult result = probe(profile, {"om", "item 1 Class", "item 1 Class", "item 1 EntryID", "store-id",
                                             "profile-name", "item 1 LastModificationTime"});
    EXPECT_EQ(result.out, output({"om: 0x00000000", "item 1 Class: VT_I4 40", "item 1 Class: 0x80020009",
                                  "item 1 EntryID: VT_BSTR null", "store-id: 0x80004005", "profile-name: VT_BSTR null",
                                  "item 1 LastModificationTime: VT_EMPTY"}));
}

// In process the MAPIOBJECT answers as "mapiObject" says; from the local
// server it never crosses, whatever that says.
TEST_P(ObjectModelMembers, MapiObjectCrossesNoProcess) {
    const Json profile = {
        {"server", GetParam()}, {"items", Json::array({Json::object()})}, {"mapiObject", "IMAPIProp"}};
    const RunResult result = probe(profile, {"om", "mapiobject 1"});
    EXPECT_EQ(result.out, output({"om: 0x00000000", GetParam() == "local" ? "mapiobject 1: IMAPIProp 0x80004002"
                                                                          : "mapiobject 1: IMAPIProp 0x00000000"}));
    EXPECT_TRUE(endedInOrder(result));
}

TEST_P(ObjectModelMembers, DeniedGuardFailsEveryGuardedMemberAfterItsPrompt) {
    const Json items = Json::array({{{"FullName", "F"},
                                     {"Email1Address", "a@example.com"},
                                     {"Email1AddressType", "SMTP"},
                                     {"Email2Address", "/cn=b"},
                                     {"Email2AddressType", "EX"},
                                     {"Email3Address", "c@example.com"},
                                     {"Email3AddressType", "SMTP"}}});
    const Json book = Json::array({{{"address", "/cn=b"}, {"smtp", "b@example.com"}}});
    const Json profile = {
        {"server", GetParam()}, {"items", items}, {"addressBook", book}, {"guard", "denied"}, {"storeId", "01"}};
    const std::vector<std::string> guarded = {"Email1Address",     "Email1AddressType", "Email2Address",
                                              "Email2AddressType", "Email3Address",     "Email3AddressType"};
    std::vector<std::string> steps = {"om"};
    std::vector<std::string> expected = {"om: 0x00000000"};
    for (const std::string& member : guarded) {
        steps.push_back("item 1 " + member);
        expected.push_back("item 1 " + member + ": 0x80004004");
    }
    const std::vector<std::string> unguarded = {"item 1 FullName",
                                                "item 1 EntryID",
                                                "store-id",
                                                "profile-name",
                                                "mapiobject 1",
                                                "entry /cn=b Address",
                                                "entry /cn=b PropertyAccessor"};
    steps.insert(steps.end(), unguarded.begin(), unguarded.end());
    expected.insert(
        expected.end(),
        {"item 1 FullName: VT_BSTR \"F\"", "item 1 EntryID: VT_BSTR \"" + defaultEntryId(0) + "\"",
         "store-id: VT_BSTR \"01\"", "profile-name: VT_BSTR \"Outlook\"",
         GetParam() == "local" ? "mapiobject 1: IMAPIProp 0x80004002" : "mapiobject 1: IMAPIProp 0x00000000",
         "entry /cn=b Address: 0x80004004", "entry /cn=b PropertyAccessor: 0x80004004"});
    // MAPI is never guarded.
    steps.insert(steps.end(), {"load", logon, "open-store 0 01", "open-entry 0 @1", "get-ids", "get-props"});
    const RunResult result = probe(profile, steps);
    std::vector<std::string> lines = stepLines(result.out);
    ASSERT_EQ(lines.size(), expected.size() + 6) << result.out;
    EXPECT_EQ(lines[expected.size() + 5].rfind("get-props: 0x00040380 9 [0x8A01001F \"a@example.com\"]", 0), 0u);
    lines.resize(expected.size());
    EXPECT_EQ(lines, expected);

    std::vector<std::string> prompted;
    for (std::size_t at = 1; at < result.journal.size(); ++at) {
        if (result.journal[at] == "guard prompt") prompted.push_back(result.journal[at - 1]);
    }
    std::vector<std::string> expectedPrompts;
    for (const std::string& member : guarded) expectedPrompts.push_back("_ContactItem." + member);
    expectedPrompts.insert(expectedPrompts.end(), {"AddressEntry.Address", "AddressEntry.PropertyAccessor"});
    EXPECT_EQ(prompted, expectedPrompts);
    EXPECT_TRUE(endedInOrder(result));
}

TEST_P(ObjectModelMembers, UnansweredGuardNeverReturnsAndLeavesNoServerBehind) {
    const Json profile = {{"server", GetParam()},
                          {"items", Json::array({{{"Email1Address", "a@example.com"}}})},
                          {"guard", "unanswered"}};
    RunOptions options;
    options.program = "standin-probe.exe";
    options.arguments = {"om", "item 1 Email1Address", "item 1 FullName"};
    options.endSoonAfterJournalLine = "guard prompt";
    const RunResult result = run(profile, options);
    EXPECT_TRUE(result.hung);
    EXPECT_EQ(result.out, "om: 0x00000000\n");
    ASSERT_GE(result.journal.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(result.journal.end() - 2, result.journal.end()),
              (std::vector<std::string>{"_ContactItem.Email1Address", "guard prompt"}));
    EXPECT_TRUE(noServerLeftFor(result.folder));
}

INSTANTIATE_TEST_SUITE_P(BothServers, ObjectModelMembers, ::testing::Values("inprocess", "local"), serverName);

}  // namespace
}  // namespace e2e
