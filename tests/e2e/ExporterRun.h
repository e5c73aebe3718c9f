#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

// Runs the built exporter under Wine against a stand-in profile, through the
// project's run script, and keeps everything the run left behind.
namespace e2e {

using Json = nlohmann::json;

struct RunOptions {
    std::vector<std::string> arguments;
    // Linux locale for Wine: decides the exporter's ANSI code page (1252
    // here; "ja_JP.UTF-8" gives 932).
    std::string locale = "C.UTF-8";
    // An IANA time zone ("Europe/Rome"), which Wine makes Windows' own for
    // the run; empty: the test's own.
    std::string timeZone;
    // A run still going after this long is ended and reported as hung. The
    // time counts from when the run has its share of the Wine prefix: a run
    // against the local server has the prefix to itself, and waits for
    // every run going on (one may take minutes) before it starts.
    int timeoutSeconds = 120;
    // A reader that reads the first line of standard output, closes its end
    // of the pipe and waits for the run to end. RunResult::out holds what it read.
    bool closeAfterFirstLine = false;
    // Another program of the run folder to run instead of the exporter
    // (STANDIN_RUN_PROGRAM), such as the stand-ins' probe.
    std::string program;
    // For a run that waits on something that never answers: once its journal
    // holds this line, the run has two seconds more to end, then it is ended
    // and reported as hung. A busy machine may take long to get there; the
    // end does not depend on how long.
    std::string endSoonAfterJournalLine;
};

struct RunResult {
    std::string out;
    std::string err;
    int exitCode = -1;
    bool hung = false;
    std::vector<std::string> journal;
    std::string folder;  // the run's own folder: profile, journal, files

    // The journal lines naming `operation`, in order.
    std::size_t count(const std::string& line) const;
    bool journalHas(const std::string& line) const { return count(line) > 0; }
    // Index of the first journal line equal to `line`, or npos.
    std::size_t indexOf(const std::string& line) const;
};

// A run that Wine did not start (now and then, on a busy machine: the
// exporter never ran), or whose end Wine's own loader upset, is made again,
// at most twice, and said so on standard output.
RunResult run(const Json& profile, const RunOptions& options = {});
// How many runs of this process were made again.
std::size_t runsMadeAgain();
RunResult run(const Json& profile, std::vector<std::string> arguments);

// Where the builds are: CONTACT_EXPORTER_BUILD_ROOT, or build/ in the checkout.
std::string buildRoot();
struct ToolResult {
    int exitCode;
    std::string output;
};

// Runs one of the project's Windows tools (build/windows/bin) under Wine, in
// the time zone given (or the test's own).
ToolResult runWindowsTool(const std::string& tool, const std::vector<std::string>& arguments,
                          const std::string& locale = "C.UTF-8", const std::string& timeZone = "");

struct CommandResult {
    int exitCode = -1;
    bool hung = false;
    std::string out;
    std::string err;
};

// Runs a Linux command (arguments[0] is its path) with standard input from
// /dev/null and the given locale, in a process group of its own, for at most
// `timeoutSeconds`; then ends whatever the command left running in that group.
CommandResult runCommand(const std::vector<std::string>& arguments, const std::string& locale = "C.UTF-8",
                         int timeoutSeconds = 120);

// The name of a test run in one of the two server modes, from the mode's
// parameter: "inprocess" gives "InProcess", "local" "LocalServer".
std::string serverName(const ::testing::TestParamInfo<std::string>& info);

// Whether no process of the local stand-in server that a run in `folder`
// started is left, or none after ten seconds: Wine tells the server that its
// client has ended, and the server then ends too.
bool noServerLeftFor(const std::string& folder);

// A folder of its own for a test's files (pictures, temporary directories).
std::string makeTestFolder();
// The profile written to profile.json in `folder` (by default a new one);
// the file's path is returned.
std::string profileFile(const Json& profile, const std::string& folder = makeTestFolder());
// The Windows form (Z:\...) of a Linux path.
std::string windowsPath(const std::string& linuxPath);
// Bytes in a code page ("CP1252", "CP932") decoded to UTF-8.
std::string decode(const std::string& bytes, const char* codePage);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// The lines of an export, without their CR LF; the last element is what
// follows the last line end (empty when the output ends in one).
std::vector<std::string> lines(const std::string& out);

// The records of an export, each line before the trailer decoded from the
// code page and parsed as JSON. A line that is not JSON throws.
std::vector<Json> records(const RunResult& run, const char* codePage = "CP1252");

// The run ended in order: it wrote a journal, whose last line is a
// live-objects report, and every report in it says that no stand-in object
// was left alive; and MAPI, where the run initialised it, was ended before
// its library was released.
::testing::AssertionResult endedInOrder(const RunResult& run);

// The journal holds these lines in this order, others possibly between them,
// as Wine's conformance tests check call sequences.
void expectCallsInOrder(const RunResult& run, const std::vector<std::string>& calls);

// Whether a journal line is a counted operation ("_ContactItem.FullName"),
// not a name lookup, a MAPI entry point, a call of the exporter's own MAPI
// session, or a line of the stand-in's own.
bool isOperation(const std::string& line);
// Whether a journal line is a call of the exporter's own MAPI session
// ("MAPILogonEx", "IMsgStore.OpenEntry"): it runs in the exporter's process,
// and a busy or departed Outlook does not count it.
bool isSessionOperation(const std::string& line);
// The number of operations that ran before the `occurrence`th line `line`;
// throws when the journal has no such line.
long long operationsBefore(const std::vector<std::string>& journal, const std::string& line, int occurrence = 1);
// The journal without the "rejected" lines of a busy Outlook.
std::vector<std::string> withoutRejections(std::vector<std::string> journal);
// The number of "live-objects N" lines: one per stand-in process that
// served Outlook.Application, and one from the mapi32 stand-in of a process
// that logged on to MAPI.
std::size_t liveObjectLines(const RunResult& run);

// A profile whose temporary directory is a new folder of the test's own, so
// that runs side by side never share a picture file. Its path is returned.
std::string useOwnTemporaryDirectory(Json& profile);

// A profile that reaches every part of the export: contacts on both kinds of
// e-mail address (SMTP, an 8-bit MAPI value, Exchange, a lone surrogate),
// escaped names and numbers, a picture after a document, and an item that is
// not a contact. It has a temporary directory of its own.
Json mixedProfile();
// The profile with its "faults" member set.
Json withFaults(Json profile, const Json& faults);

// The profile member for a text given as exact UTF-16 units.
Json utf16(const std::u16string& units);

// A fault: the `call`th call of `operation` fails with `hresult`.
Json fault(const std::string& operation, const std::string& hresult = "0x80004005", int call = 1);
// A fault: the `call`th call of `operation` succeeds and yields no object.
Json nullResult(const std::string& operation, int call = 1);

// A profile of one contact with an e-mail address that must be read through
// the object model's guarded members, on the server given ("inprocess",
// "local"): its MAPI objects do not cross into the exporter and the
// exporter's own MAPI session cannot be had. Outlook's security prompt is
// played as `guard` says ("denied", "unanswered").
Json guardedRoadProfile(const std::string& server, const std::string& guard);

// The exporter's diagnostics line, without its line end, for a walk that a
// denied prompt ended at a contact's first e-mail address.
inline const std::string deniedPromptDiagnostics =
    "contact-exporter: _ContactItem.Email1Address failed: 0x80004004 (E_ABORT). Outlook's security prompt was "
    "denied, and the export stops here. An administrator can let the exporter read without asking: in Outlook, "
    "File > Options > Trust Center > Trust Center Settings > Programmatic Access, or the same setting by Group "
    "Policy.";

// For a caller's run on guardedRoadProfile(..., "unanswered"), which waits on
// the prompt until the caller's time limit ends it: `attempt` runs it with a
// limit of 4 seconds, on a profile and journal ("journal") in the folder
// given, and checks what the caller said. A loaded machine may not reach the
// prompt within so short a limit (a run against the local server first waits
// for the Wine prefix to itself), so a run that did not is made again with
// twice the limit, up to a minute. Whether a run reached the prompt.
bool aRunReachesThePrompt(
    const std::function<void(const std::string& profile, const std::string& journal, int limitSeconds)>& attempt,
    const std::string& server);

// The exporter's construction ends before the MAPI step while the namespace
// is set: the e-mail addresses take the object-model road.
Json objectModelRoad();

}  // namespace e2e
