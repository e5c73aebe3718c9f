// The example clients in examples/ read real exports: they run the exporter
// through the run script, so a change in the output that the clients (and a
// caller written like them) can no longer read shows up here. The Python
// client and the C# one (compiled by mcs, run by Mono) keep one contract:
// each case runs both and compares what they print and their exit codes.
#include "ExporterRun.h"
#include "ReferenceBase64.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace e2e;

namespace {

enum class Client { python, csharp };

// [VARIABLE=VALUE...] CLIENT ARGUMENTS
std::vector<std::string> clientCommand(Client client, const std::vector<std::string>& arguments,
                                       const std::vector<std::string>& environment = {}) {
    std::vector<std::string> command = {"/usr/bin/env"};
    command.insert(command.end(), environment.begin(), environment.end());
    if (client == Client::python) {
        command.insert(command.end(), {"python3", std::string(REPO_ROOT) + "/examples/read_contacts.py"});
    } else {
        command.insert(command.end(), {MONO, CSHARP_CLIENT});
    }
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

// OPTIONS scripts/standin-run PROFILE: a client's arguments for a run of the
// exporter on the profile.
std::vector<std::string> onProfile(std::vector<std::string> options, const std::string& profilePath) {
    options.insert(options.end(), {std::string(REPO_ROOT) + "/scripts/standin-run", profilePath});
    return options;
}

// CLIENT OPTIONS scripts/standin-run PROFILE, with the Linux locale that
// decides Wine's ANSI code page.
CommandResult runClient(Client client, const std::vector<std::string>& options, const std::string& profilePath,
                        const std::string& locale = "C.UTF-8", int timeoutSeconds = 120) {
    return runCommand(clientCommand(client, onProfile(options, profilePath)), locale, timeoutSeconds);
}

// The C# client names itself ReadContacts where the Python one says read_contacts.
std::string inPythonTerms(std::string text) {
    const std::string name = "ReadContacts:";
    for (std::size_t at = 0; (at = text.find(name, at)) != std::string::npos;) {
        text.replace(at, name.size(), "read_contacts:");
    }
    return text;
}

void expectAlike(const CommandResult& python, const CommandResult& csharp) {
    EXPECT_EQ(csharp.exitCode, python.exitCode) << csharp.err;
    EXPECT_EQ(csharp.out, python.out);
    EXPECT_EQ(inPythonTerms(csharp.err), python.err);
}

// Runs both clients with the same arguments, and the environment's variables
// set as given; they must print the same and exit alike, byte for byte. The
// Python client's run is returned for the case's own expectations. The
// arguments may name a command that stands in for the exporter (`cat FILE`,
// a fake exporter).
CommandResult runBothClientsOn(const std::vector<std::string>& arguments, const std::string& locale = "C.UTF-8",
                               const std::vector<std::string>& environment = {}) {
    const CommandResult python = runCommand(clientCommand(Client::python, arguments, environment), locale);
    const CommandResult csharp = runCommand(clientCommand(Client::csharp, arguments, environment), locale);
    expectAlike(python, csharp);
    return python;
}

// Both clients on a run of the exporter on the profile.
CommandResult runBothClients(const std::vector<std::string>& options, const std::string& profilePath,
                             const std::string& locale = "C.UTF-8", const std::vector<std::string>& environment = {}) {
    SCOPED_TRACE("profile " + profilePath);
    return runBothClientsOn(onProfile(options, profilePath), locale, environment);
}

std::string summary(int contacts, int withEmail, int withPhones, int withPictures, int items) {
    return "contacts: " + std::to_string(contacts) + "\nwith e-mail: " + std::to_string(withEmail) +
           "\nwith phones: " + std::to_string(withPhones) + "\nwith pictures: " + std::to_string(withPictures) +
           "\nitems in the folder: " + std::to_string(items) + "\n";
}

}  // namespace

TEST(ExampleClient, SummarisesTheBundledSample) {
    const std::string sample = std::string(REPO_ROOT) + "/samples/profile.json";
    const CommandResult result = runBothClients({}, sample);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, summary(20, 14, 19, 4, 22));

    const CommandResult listed = runBothClients({"--list"}, sample);
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("\nJosé \"Pepe\" Sousa\nStudio Legale Ferri & Associati <info@studioferri.example>\n"),
              std::string::npos)
        << listed.out;
}

// No contact (the trailer then follows an empty line), a double-byte code
// page, and the status query's UTF-8 answer.
TEST(ExampleClient, ReadsEmptyFoldersOtherCodePagesAndTheStatus) {
    const CommandResult empty = runBothClients({}, profileFile({{"items", {{{"class", "note"}}}}}));
    EXPECT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_EQ(empty.out, summary(0, 0, 0, 0, 1));

    const Json japanese = {{"items",
                            {{{"FullName", "山田 太郎"}, {"Email1Address", "taro@example.jp"}},
                             {{"FullName", "佐藤"}, {"MobileTelephoneNumber", "090-1234-5678"}}}}};
    const CommandResult listed =
        runBothClients({"--list", "--encoding", "cp932"}, profileFile(japanese), "ja_JP.UTF-8");
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "佐藤\n山田 太郎 <taro@example.jp>\n" + summary(2, 1, 1, 0, 2));

    const CommandResult status = runBothClients({"--status"}, profileFile({{"version", "16.0.17928.20114"}}));
    EXPECT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(status.out, "Outlook 16.0.17928.20114\n");
}

// Records longer than one read of the pipe, escapes in the JSON, code page
// 1252's own characters, and a profile path that a shell or a command line
// would split: the C# client quotes its launcher's arguments itself.
TEST(ExampleClient, ReadsLongRecordsEscapesAndQuotedArguments) {
    const std::string folder = makeTestFolder() + "/Ada's profile $HOME";
    mkdir(folder.c_str(), 0755);
    const std::string picture(300 * 1024, '\xA5');
    const Json contacts = {{{"FullName", "Zoë \"Z\" O'Brien/Ünal\\Ltd\tTab"},
                            {"Email1Address", "zoe@example.ie"},
                            {"Email2Address", "z\"b@example.ie"},
                            {"HasPicture", true},
                            {"attachments", {{{"base64", reference::base64(picture)}}}}},
                           {{"FullName", "Prezzo € 5"}}};
    const Json profile = {{"items", contacts},
                          {"environment", {{"TMP", windowsPath(folder)}, {"TEMP", windowsPath(folder)}}}};
    const CommandResult listed = runBothClients({"--list"}, profileFile(profile, folder));
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "Prezzo € 5\nZoë \"Z\" O'Brien/Ünal\\Ltd\tTab <zoe@example.ie, z\"b@example.ie>\n" +
                              summary(2, 1, 0, 1, 2));
}

// A walk that an Outlook error stopped has no trailer line: the clients must
// not take the records before it for the whole address book. An exporter
// that cannot run at all is told apart from that.
TEST(ExampleClient, FailsOnAMissingTrailerAndOnAnExporterThatCannotRun) {
    const Json stopped = {{"items", {{{"FullName", "Ada Lovelace"}, {"LastName", "Lovelace"}}}},
                          {"faults", {fault("_ContactItem.LastName")}}};
    const CommandResult incomplete = runBothClients({}, profileFile(stopped));
    EXPECT_EQ(incomplete.exitCode, 3);
    EXPECT_EQ(incomplete.out, "");
    EXPECT_NE(incomplete.err.find("no trailer line"), std::string::npos) << incomplete.err;

    const std::string noMapi = profileFile({{"mapi32", "none"}, {"items", {{{"FullName", "Ada"}}}}});
    const CommandResult cannotRun = runBothClients({}, noMapi);
    EXPECT_EQ(cannotRun.exitCode, 1);
    EXPECT_EQ(cannotRun.out, "");
    EXPECT_NE(cannotRun.err.find("Cannot load mapi32.dll"), std::string::npos) << cannotRun.err;

    const CommandResult noOutlook = runBothClients({"--status"}, profileFile({{"registry", {{"officeKey", false}}}}));
    EXPECT_EQ(noOutlook.exitCode, 1);
    EXPECT_NE(noOutlook.err.find("MS Outlook not found or not properly installed"), std::string::npos) << noOutlook.err;
}

// Outputs that are not a whole export, as an exporter stopped midway or a
// damaged pipe could leave them, written by `cat` standing in for the
// exporter: both clients exit with 3 and say why in the same words.
TEST(ExampleClient, TellsIncompleteOutputsApart) {
    const std::string ada = "{\"displayname\":\"Ada\"}";
    const std::vector<std::pair<std::string, std::string>> outputs = {
        {ada + "\r\n{\"displayname\":\"Bo", "(1 records read): the output stops inside a record: no trailer line"},
        {ada + "\ncontatti trovati: 1 / 1\r\n", "(0 records read): line 1 does not end in CR LF"},
        {ada + "\r\ncontatti trovati: 2 / 2\r\n", "(1 records read): the trailer counts 2 records, the output holds 1"},
        {ada + "\r\ncontatti trovati: 1 / 0\r\n", "(1 records read): the trailer counts 1 records of 0 items"},
        {ada + "\r\ncontatti trovati: 1 / 1\r\n\r\n", "(1 records read): text after the trailer line"},
        {"\r\n" + ada + "\r\n", "(0 records read): the empty line is not followed by the trailer line"},
        {"[" + ada + "]\r\ncontatti trovati: 1 / 1\r\n", "(0 records read): record 1 is not a JSON object"}};
    for (const auto& [output, problem] : outputs) {
        const std::string path = makeTestFolder() + "/output";
        writeFile(path, output);
        SCOPED_TRACE(output);
        const CommandResult python = runBothClientsOn({"cat", path});
        EXPECT_EQ(python.exitCode, 3);
        EXPECT_EQ(python.err, "read_contacts: incomplete export " + problem + "\n");
    }
}

// Wrong usage exits with 2 and says why, in the same words (the usage lines
// differ: each client names itself).
TEST(ExampleClient, RefusesWrongUsageAlike) {
    const std::vector<std::vector<std::string>> usages = {{},
                                                          {"--bogus", "x"},
                                                          {"--timeout", "soon", "x"},
                                                          {"--timeout", "nan", "x"},
                                                          {"--timeout", "-1", "x"},
                                                          {"--encoding", "no-such-code-page", "x"},
                                                          {"--text", "latin-1", "x"},
                                                          {"--text=UTF-8", "x"},
                                                          {"--fields", "id,colour", "x"},
                                                          {"--fields", "id,,modified", "x"},
                                                          {"--fields=Id", "x"},
                                                          {"--list"}};
    const auto reason = [](const std::string& err) { return err.substr(err.rfind("error: ")); };
    for (const std::vector<std::string>& arguments : usages) {
        const CommandResult fromPython = runCommand(clientCommand(Client::python, arguments));
        const CommandResult fromCsharp = runCommand(clientCommand(Client::csharp, arguments));
        SCOPED_TRACE(fromPython.err);
        EXPECT_EQ(fromPython.exitCode, 2);
        EXPECT_EQ(fromCsharp.exitCode, 2);
        EXPECT_EQ(fromCsharp.out, "");
        EXPECT_EQ(reason(fromCsharp.err), reason(fromPython.err));
    }
}

// Each client's words for a run it ended at its time limit, with each
// runtime's exit code for a process ended by SIGKILL.
const std::vector<std::pair<Client, std::string>>& endedAtTheTimeLimit() {
    static const std::vector<std::pair<Client, std::string>> clients = {
        {Client::python,
         "read_contacts: the exporter ended with exit code -9: stopped: it did not finish in time "
         "(see --timeout)\n"},
        {Client::csharp,
         "ReadContacts: the exporter ended with exit code 137: stopped: it did not finish in time "
         "(see --timeout)\n"}};
    return clients;
}

// An export that would take hours: the time limit must end the run and say
// so, not wait for the export's end. The clients end the run script alone
// (ending what a process started is .NET Core's Process.Kill(true)); the
// harness ends the rest of the run's process group.
TEST(ExampleClient, EndsAnExportPastTheTimeLimit) {
    const std::string endless = profileFile({{"items", {{{"FullName", "Ada Lovelace"}}}}, {"itemsRepeat", 1000000000}});
    for (const auto& [client, ended] : endedAtTheTimeLimit()) {
        const CommandResult result = runClient(client, {"--timeout", "3"}, endless);
        SCOPED_TRACE(ended);
        EXPECT_FALSE(result.hung) << "the client waited for the export to end";
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, ended);
    }
}

class GuardedRoad : public ::testing::TestWithParam<std::string> {};

// Outlook's security prompt that nobody answers keeps the exporter waiting
// for ever: each client ends the run at its time limit and says so, and no
// server is left behind.
TEST_P(GuardedRoad, AnUnansweredPromptIsEndedAtTheTimeLimit) {
    for (const auto& [client, ended] : endedAtTheTimeLimit()) {
        SCOPED_TRACE(ended);
        const auto endedAtTheLimit = [&client = client, &ended = ended](const std::string& profile,
                                                                        const std::string& journal, int limit) {
            const std::vector<std::string> options = {"--timeout", std::to_string(limit)};
            const CommandResult result =
                runCommand(clientCommand(client, onProfile(options, profile), {"OUTLOOK_STANDIN_JOURNAL=" + journal}));
            EXPECT_FALSE(result.hung) << "the client waited for the prompt";
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.err, ended);
        };
        EXPECT_TRUE(aRunReachesThePrompt(endedAtTheLimit, GetParam())) << "no run reached Outlook's prompt";
    }
}

// A denied prompt ends the walk inside a record: the clients report an
// incomplete export, and with --diagnostics the exporter's reason, which
// names the prompt and the way out.
TEST_P(GuardedRoad, ADeniedPromptIsAnIncompleteExportThatSaysWhy) {
    const std::string profile = profileFile(guardedRoadProfile(GetParam(), "denied"));
    const CommandResult result = runBothClients({"--diagnostics"}, profile);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.out, "");
    const std::string verdict =
        "read_contacts: incomplete export (0 records read): the output stops inside a record: no trailer line\n";
    EXPECT_EQ(result.err.substr(0, verdict.size()), verdict);
    EXPECT_NE(result.err.find(deniedPromptDiagnostics), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(BothServers, GuardedRoad, ::testing::Values("inprocess", "local"), serverName);

// A time limit longer than a wait can take (some 24.8 days), `inf` and a
// number past it, is held to the longest wait: the export is read as under
// any other limit.
TEST(ExampleClient, HoldsTheLongestTimeLimitsToTheLongestWait) {
    const std::string sample = std::string(REPO_ROOT) + "/samples/profile.json";
    for (const char* limit : {"inf", "1e300"}) {
        SCOPED_TRACE(limit);
        const CommandResult result = runBothClients({"--timeout", limit}, sample);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, summary(20, 14, 19, 4, 22));
    }
}

// Windows converts the five bytes that code page 1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) to the control characters of the same value, and
// the exporter writes them for those characters, which mis-decoded names
// often hold: an export that holds them is whole.
TEST(ExampleClient, ReadsTheBytesTheCodePageLeavesUndefined) {
    const std::string undefined = "\u0081\u008D\u008F\u0090\u009D";
    const Json profile = {{"items", {{{"FullName", "Ada " + undefined}, {"LastName", undefined}}}}};
    const CommandResult listed = runBothClients({"--list"}, profileFile(profile));
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "Ada " + undefined + "\n" + summary(1, 0, 0, 0, 1));
}

// The time limit is the exporter's: one that ended in time is not reported as
// stopped while its caller still parses what it wrote, nor is it kept waiting
// on the pipe by a slow reader. `cat` writes a large export at once and ends;
// parsing it takes either client longer than the limit.
TEST(ExampleClient, TheTimeLimitIsTheExportersNotTheReaders) {
    const std::string record =
        R"({"displayname":"Beatrice Moretti","emailaddrs":["bea.moretti@example.it"],"firstname":"Beatrice",)"
        R"("surname":"Moretti","phones":[{"type":"home","number":"+39 06 999 8877"}]})"
        "\r\n";
    const int records = 100000;
    std::string output;
    output.reserve(record.size() * records + 64);
    for (int written = 0; written < records; ++written) output += record;
    output += "contatti trovati: 100000 / 100000\r\n";
    const std::string path = makeTestFolder() + "/output";
    writeFile(path, output);

    const CommandResult python = runBothClientsOn({"--timeout", "2", "cat", path});
    EXPECT_EQ(python.exitCode, 0) << python.err;
    EXPECT_EQ(python.out, summary(records, records, records, 0, records));
}

// A failure of the reader's own, not an incomplete export (here Python's
// recursion limit on a deeply nested value), is told as what it is: no
// traceback, no run reported as stopped while the exporter waits on a full pipe.
TEST(ExampleClient, TellsAReaderThatFailed) {
    const std::string path = makeTestFolder() + "/output";
    writeFile(path, std::string(100000, '[') + "\r\ncontatti trovati: 1 / 1\r\n" + std::string(1 << 20, ' '));
    const CommandResult python = runCommand(clientCommand(Client::python, {"--timeout", "60", "cat", path}));
    EXPECT_EQ(python.exitCode, 3);
    EXPECT_EQ(python.out, "");
    EXPECT_EQ(python.err,
              "read_contacts: the export could not be read: RecursionError: maximum recursion depth exceeded "
              "while decoding a JSON array from a unicode string\n");
}

// An exporter past the time limit that the client has no right to end (on
// Windows an elevated one; here a set-user-ID program, the client running as
// another user): the client says so and returns, rather than wait for ever.
TEST(ExampleClient, GivesUpOnAnExporterItCannotEnd) {
    if (geteuid() != 0) GTEST_SKIP() << "installing a set-user-ID program takes root";
    const std::string folder = makeTestFolder();
    const std::string unending = folder + "/unending";
    writeFile(unending, readFile(UNENDING));
    ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    ASSERT_EQ(chown(unending.c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(unending.c_str(), 04755), 0);

    const std::vector<std::pair<Client, std::string>> clients = {{Client::python, "read_contacts"},
                                                                 {Client::csharp, "ReadContacts"}};
    for (const auto& [client, name] : clients) {
        std::vector<std::string> command = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                            "--clear-groups",   "/usr/bin/env",  "HOME=/tmp"};
        const std::vector<std::string> clientRun = clientCommand(client, {"--timeout", "1", unending});
        command.insert(command.end(), clientRun.begin() + 1, clientRun.end());
        const CommandResult result = runCommand(command);
        SCOPED_TRACE(name);
        EXPECT_FALSE(result.hung) << "the client waited for an exporter that cannot be ended";
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, name +
                                  ": the exporter is still running: it did not finish in time (see --timeout), "
                                  "and could not be ended\n");
    }
}

// --json prints each record in one form that other readers compare theirs
// with: what Python's json.dumps(record, ensure_ascii=True, separators=(",",
// ":")) prints, members in the exporter's order, one record a line, LF line
// ends. Both clients print the same bytes for JSON's escapes, characters
// outside ASCII on code pages 1252 and 932, lone surrogates and a NUL (which
// the exporter turns into the code page's '?'), empty members, and escapes
// that only a hand-made output holds.
TEST(ExampleClient, PrintsRecordsInOneCanonicalForm) {
    const Json contacts = {
        {{"FullName", "Zoë \"Z\" O'Brien/Ünal\\Ltd\tTab\b\f\n\r\x01\x1f\x7f€ \u0081"},
         {"Email1Address", "a/b@example.ie"},
         {"FirstName", "Zoë"},
         {"LastName", "O'Brien"},
         {"MobileTelephoneNumber", "02/7654321"},
         {"HasPicture", true},
         {"attachments", {{{"base64", "/9j/AAAA+w=="}}}}},
        {{"FullName", utf16({0xD800, u'A', 0xDC00, 0xD83D, 0xDE00, 0})}, {"LastName", utf16({u'A', 0xDFFF})}},
        {{"FullName", ""}, {"FirstName", ""}, {"LastName", ""}},
        {{"FullName", "山田 太郎"}}};
    const std::string profile = profileFile({{"items", contacts}});
    const std::string emptyAndSurrogates = R"({"emailaddrs":[],"phones":[]})"
                                           "\n"
                                           R"({"displayname":"?A???","emailaddrs":[],"surname":"A?","phones":[]})"
                                           "\n";
    const CommandResult western = runBothClients({"--json"}, profile);
    EXPECT_EQ(western.exitCode, 0) << western.err;
    EXPECT_EQ(western.out,
              R"({"displayname":"?? ??","emailaddrs":[],"phones":[]})"
              "\n" +
                  emptyAndSurrogates +
                  R"({"image":"/9j/AAAA+w==","displayname":"Zo\u00eb \"Z\" O'Brien/\u00dcnal\\Ltd\tTab\b\f\n\r\u0001)"
                  R"(\u001f\u007f\u20ac \u0081","emailaddrs":["a/b@example.ie"],"firstname":"Zo\u00eb",)"
                  R"("surname":"O'Brien","phones":[{"type":"mobile","number":"02/7654321"}]})"
                  "\n");

    const CommandResult japanese = runBothClients({"--json", "--encoding", "cp932"}, profile, "ja_JP.UTF-8");
    EXPECT_EQ(japanese.exitCode, 0) << japanese.err;
    EXPECT_EQ(japanese.out.substr(0, japanese.out.find('\n') + 1),
              R"({"displayname":"\u5c71\u7530 \u592a\u90ce","emailaddrs":[],"phones":[]})"
              "\n");

    const std::string handMade = R"({"displayname":"a\u0000b\ud800c\udfff\ud83d\ude00\u2028\/\u00E9\u001F",)"
                                 R"("emailaddrs":["",""],"firstname":"\"","phones":[{"type":"home","number":""}]})";
    const std::string path = makeTestFolder() + "/output";
    writeFile(path, handMade + "\r\ncontatti trovati: 1 / 1\r\n");
    const CommandResult canonical = runBothClientsOn({"--json", "cat", path});
    EXPECT_EQ(canonical.exitCode, 0) << canonical.err;
    EXPECT_EQ(canonical.out, R"({"displayname":"a\u0000b\ud800c\udfff\ud83d\ude00\u2028/\u00e9\u001f",)"
                             R"("emailaddrs":["",""],"firstname":"\"","phones":[{"type":"home","number":""}]})"
                             "\n");
}

// --diagnostics sets CONTACT_EXPORTER_DIAGNOSTICS=1 in the exporter's
// environment and shows its standard error (UTF-8, CR LF lines) line by line
// after the verdict; without it the environment and the output are as they
// were. A script stands in for the exporter: it answers the status query
// "ko", writes one record without the trailer, and tells on standard error
// what it found in its environment.
TEST(ExampleClient, DiagnosticsAskTheExporterAndShowItsStandardError) {
    const std::string fake = makeTestFolder() + "/exporter";
    writeFile(fake,
              "#!/bin/sh\n"
              "if [ \"$1\" = -h ]; then printf ko; else printf '{\"displayname\":\"Ada\"}\\r\\n'; fi\n"
              "printf 'contact-exporter: diagnostics \"%s\" \\303\\251\\r\\n' \"$CONTACT_EXPORTER_DIAGNOSTICS\" >&2\n");
    chmod(fake.c_str(), 0755);
    const std::string incomplete =
        "read_contacts: incomplete export (1 records read): no trailer line: an Outlook error stopped the walk\n";

    EXPECT_EQ(runBothClientsOn({"--diagnostics", fake}).err,
              incomplete + "read_contacts: the exporter's standard error:\ncontact-exporter: diagnostics \"1\" é\n");
    EXPECT_EQ(runBothClientsOn({fake}).err,
              "read_contacts: the exporter reported: contact-exporter: diagnostics \"\" é\r\n\n" + incomplete);
    const CommandResult status = runBothClientsOn({"--diagnostics", "--status", fake});
    EXPECT_EQ(status.exitCode, 1);
    EXPECT_EQ(status.err,
              "Outlook is not available\nread_contacts: the exporter's standard error:\n"
              "contact-exporter: diagnostics \"1\" é\n");
}

// Against the exporter itself: a walk that an Outlook error stops. Whatever
// the exporter writes on standard error when asked for its diagnostics (a
// line naming the failed call, where it has them), the clients show it below
// the verdict, alike.
TEST(ExampleClient, DiagnosticsShowWhyTheExporterStopped) {
    const Json broken = {
        {"operation", "_ContactItem.HasPicture"}, {"hresult", "0x80004005"}, {"description", "broken"}};
    const std::string profile =
        profileFile({{"items", {{{"FullName", "Ada Lovelace"}, {"HasPicture", true}}}}, {"faults", {broken}}});
    const CommandResult exporter = runCommand(
        {"/usr/bin/env", "CONTACT_EXPORTER_DIAGNOSTICS=1", std::string(REPO_ROOT) + "/scripts/standin-run", profile});
    std::string shown;
    for (const std::string& line : lines(exporter.err)) {
        if (!line.empty()) shown += line + "\n";
    }
    const CommandResult result = runBothClients({"--diagnostics"}, profile);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err,
              "read_contacts: incomplete export (0 records read): the output stops inside a record: "
              "no trailer line\n" +
                  (shown.empty() ? "" : "read_contacts: the exporter's standard error:\n" + shown));
}

// A process that the exporter started may hold its standard error open after
// it has ended (Wine's services do, started by the first Windows program of a
// session): once the exporter has exited and its output has ended, the
// clients take its standard error as it stands rather than wait for its end.
TEST(ExampleClient, TakeStandardErrorAsItStandsOnceTheExporterHasEnded) {
    const std::string fake = makeTestFolder() + "/exporter";
    writeFile(fake,
              "#!/bin/sh\n"
              "printf '{\"displayname\":\"Ada\"}\\r\\ncontatti trovati: 1 / 1\\r\\n'\n"
              "printf 'cannot find temp path' >&2\n"
              "sleep 600 >/dev/null &\n");
    chmod(fake.c_str(), 0755);
    const CommandResult python = runBothClientsOn({"--timeout", "60", fake});
    EXPECT_EQ(python.exitCode, 0);
    EXPECT_EQ(python.out, summary(1, 0, 0, 0, 1));
    EXPECT_EQ(python.err, "read_contacts: the exporter reported: cannot find temp path\n");
}

// --text utf-8 and --fields: every name whole (a lone surrogate, an emoji and
// letters that code page 1252 lacks), then each contact's EntryID and its last
// change in UTC after the phones, the same bytes from both clients in either
// text mode. January's local times in Rome are one hour ahead of UTC, July's
// two.
TEST(ExampleClient, PrintsTheRecordOptionsAlike) {
    const Json contacts = {{{"FullName", "山田 Ωmega"},
                            {"LastName", "Ωmega"},
                            {"EntryID", "00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020304"},
                            {"LastModificationTime", "2026-07-01T12:30:00"}},
                           {{"FullName", utf16({0xD800, u'A', 0xDC00, 0xD83D, 0xDE00})},
                            {"EntryID", "00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020305"},
                            {"LastModificationTime", "2026-01-15T08:00:05"}}};
    const std::string profile = profileFile({{"items", contacts}});
    const std::vector<std::string> rome = {"TZ=Europe/Rome"};
    const std::string ids[] = {
        R"("id":"00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020305","modified":"2026-01-15T07:00:05Z")",
        R"("id":"00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020304","modified":"2026-07-01T10:30:00Z")"};

    const CommandResult whole =
        runBothClients({"--text", "utf-8", "--fields", "id,modified", "--json"}, profile, "C.UTF-8", rome);
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(whole.out, R"({"displayname":"\ud800A\udc00\ud83d\ude00","emailaddrs":[],"phones":[],)" + ids[0] + "}\n" +
                             R"({"displayname":"\u5c71\u7530 \u03a9mega","emailaddrs":[],"surname":"\u03a9mega",)"
                             R"("phones":[],)" +
                             ids[1] + "}\n");

    const CommandResult ansi = runBothClients({"--fields", "modified,id", "--json"}, profile, "C.UTF-8", rome);
    EXPECT_EQ(ansi.exitCode, 0) << ansi.err;
    EXPECT_EQ(ansi.out, R"({"displayname":"?A???","emailaddrs":[],"phones":[],)" + ids[0] + "}\n" +
                            R"({"displayname":"?? Omega","emailaddrs":[],"surname":"Omega","phones":[],)" + ids[1] +
                            "}\n");
}

// The options, not the clients' own environment, say what the exporter
// writes, in the export and in the status query: the clients decode the
// records as their options say. A script that stands in for the exporter
// writes what it found in its environment.
TEST(ExampleClient, SetTheRecordOptionsWhateverTheirEnvironmentHolds) {
    const std::string fake = makeTestFolder() + "/exporter";
    writeFile(fake,
              "#!/bin/sh\n"
              "found=\"$CONTACT_EXPORTER_TEXT ${CONTACT_EXPORTER_FIELDS-unset}\"\n"
              "if [ \"$1\" = -h ]; then printf '%s' \"$found\"; exit; fi\n"
              "printf '{\"displayname\":\"%s\"}\\r\\ncontatti trovati: 1 / 1\\r\\n' \"$found\"\n");
    chmod(fake.c_str(), 0755);
    const std::vector<std::string> inherited = {"CONTACT_EXPORTER_TEXT=utf-8", "CONTACT_EXPORTER_FIELDS=colour"};
    EXPECT_EQ(runBothClientsOn({"--json", fake}, "C.UTF-8", inherited).out, "{\"displayname\":\"ansi unset\"}\n");
    EXPECT_EQ(
        runBothClientsOn({"--text", "utf-8", "--fields", "modified,id,id", "--json", fake}, "C.UTF-8", inherited).out,
        "{\"displayname\":\"utf-8 id,modified\"}\n");
    EXPECT_EQ(runBothClientsOn({"--fields=", "--status", fake}, "C.UTF-8", inherited).out, "Outlook ansi unset\n");
}

// The exporter writes nothing but UTF-8 when asked for it: a byte that is not
// UTF-8 makes the output malformed rather than a name with U+FFFD in it.
TEST(ExampleClient, RefuseALineThatIsNotUtf8WhereUtf8WasAskedFor) {
    const std::string path = makeTestFolder() + "/output";
    writeFile(path, "{\"displayname\":\"Ada\"}\r\n{\"displayname\":\"Zo\xEB\"}\r\ncontatti trovati: 2 / 2\r\n");
    const CommandResult utf8 = runBothClientsOn({"--text", "utf-8", "--json", "cat", path});
    EXPECT_EQ(utf8.exitCode, 3);
    EXPECT_EQ(utf8.out, "");
    EXPECT_EQ(utf8.err, "read_contacts: incomplete export (1 records read): line 2 is not UTF-8\n");
}
