#include "ExporterRun.h"

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace e2e {

namespace {

std::string testsRoot() {
    static const std::string root = [] {
        const std::string folder = buildRoot() + "/e2e-runs";
        mkdir(buildRoot().c_str(), 0755);
        mkdir(folder.c_str(), 0755);
        return folder;
    }();
    return root;
}

std::vector<std::string> splitJournal(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.push_back(line);
    }
    return result;
}

// The test's own environment with the run's journal, locale, and where they
// are given the program to run (STANDIN_RUN_PROGRAM) and the time zone (Wine
// takes Windows' time zone from TZ as a program starts).
std::vector<std::string> childEnvironment(const std::string& journal, const std::string& locale,
                                          const std::string& program = "", const std::string& timeZone = "") {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        if (name == "OUTLOOK_STANDIN_JOURNAL" || name == "STANDIN_RUN_PROGRAM" || name == "STANDIN_RUN_STARTED" ||
            name == "LANG" || name.rfind("LC_", 0) == 0 || (name == "TZ" && !timeZone.empty())) {
            continue;
        }
        variables.push_back(variable);
    }
    if (!journal.empty()) variables.push_back("OUTLOOK_STANDIN_JOURNAL=" + journal);
    if (!program.empty()) variables.push_back("STANDIN_RUN_PROGRAM=" + program);
    variables.push_back("LANG=" + locale);
    if (!timeZone.empty()) variables.push_back("TZ=" + timeZone);
    return variables;
}

// The exit codes of a program that Wine gave up on starting, with nothing
// said: 127 from Wine's loader; 1, or now and then 0, when Wine could not
// start the program itself.
bool wineGaveUpStarting(int exitCode) { return exitCode == 127 || exitCode == 1 || exitCode == 0; }

std::atomic<std::size_t> madeAgain{0};

// Counts a run that is made again, and says so.
void madeAgainAfter(const std::string& what, int exitCode) {
    ++madeAgain;
    static std::mutex output;
    const std::lock_guard<std::mutex> lock(output);
    std::cout << "Wine did not start or end " << what << " as it should (exit code " << exitCode << "); made again"
              << std::endl;
}

}  // namespace

std::string buildRoot() {
    const char* relocated = std::getenv("CONTACT_EXPORTER_BUILD_ROOT");
    return relocated != nullptr && *relocated != '\0' ? relocated : std::string(REPO_ROOT) + "/build";
}

std::size_t RunResult::count(const std::string& line) const {
    return static_cast<std::size_t>(std::count(journal.begin(), journal.end(), line));
}

std::size_t RunResult::indexOf(const std::string& line) const {
    const auto found = std::find(journal.begin(), journal.end(), line);
    return found == journal.end() ? std::string::npos : static_cast<std::size_t>(found - journal.begin());
}

std::string profileFile(const Json& profile, const std::string& folder) {
    const std::string path = folder + "/profile.json";
    writeFile(path, profile.dump());
    return path;
}

std::string serverName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param == "local" ? "LocalServer" : "InProcess";
}

namespace {

// The processes of the local server started by runs whose files are in
// `folder`: the folder's name is in their environment (the journal's path).
std::vector<int> serverProcessesFor(const std::string& folder) {
    std::vector<int> found;
    DIR* processes = opendir("/proc");
    if (processes == nullptr) return found;
    const std::string name = folder.substr(folder.rfind('/') + 1);
    for (dirent* entry; (entry = readdir(processes)) != nullptr;) {
        const std::string pid = entry->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (readFile("/proc/" + pid + "/cmdline").find("outlook-standin-server.exe") != std::string::npos &&
            readFile("/proc/" + pid + "/environ").find(name) != std::string::npos) {
            found.push_back(std::stoi(pid));
        }
    }
    closedir(processes);
    return found;
}

}  // namespace

bool noServerLeftFor(const std::string& folder) {
    for (int wait = 0;; ++wait) {
        if (serverProcessesFor(folder).empty()) return true;
        if (wait == 100) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

std::string makeTestFolder() {
    std::string pattern = testsRoot() + "/run-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a test folder");
    return pattern;
}

std::string windowsPath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

struct Finished {
    int exitCode = -1;
    bool hung = false;
};

// Reads `from` up to and including its first line feed (or to its end, or
// until the deadline), writes what it read to the file at `path`, and closes
// `from`. A run that writes no line by the deadline is left to the wait that
// follows, which finds it hung.
void readFirstLineAndClose(int from, const std::string& path, std::chrono::steady_clock::time_point deadline) {
    std::string line;
    char byte = 0;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd readable{from, POLLIN, 0};
        const int ready = poll(&readable, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        if (read(from, &byte, 1) != 1) break;
        line += byte;
        if (byte == '\n') break;
    }
    close(from);
    writeFile(path, line);
}

// Runs `arguments` with `environment`, standard output and error going to
// the two files, and waits for it, at most `timeoutSeconds`. With `endGroup`,
// what it leaves running in its process group is ended after it. With
// `closeAfterFirstLine`, standard output is a pipe whose first line is read
// (into the file) before the pipe is closed. Where `started` is given, the
// time counts from when it first says so (at most ten minutes later). Once
// `waitsForever` says so, the run has two seconds more before it is ended.
struct RunWatch {
    std::function<bool()> started;
    std::function<bool()> waitsForever;
};

Finished spawnAndWait(std::vector<std::string> arguments, std::vector<std::string> environment,
                      const std::string& outPath, const std::string& errPath, int timeoutSeconds, bool endGroup = false,
                      bool closeAfterFirstLine = false, const RunWatch& watch = {}) {
    std::vector<char*> argv;
    for (auto& text : arguments) argv.push_back(text.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& text : environment) envp.push_back(text.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    int pipeEnds[2] = {-1, -1};
    if (closeAfterFirstLine) {
        if (pipe(pipeEnds) != 0) throw std::runtime_error("cannot make a pipe");
        posix_spawn_file_actions_adddup2(&files, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&files, pipeEnds[0]);
        posix_spawn_file_actions_addclose(&files, pipeEnds[1]);
    } else {
        posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Its own process group, so that a hung run can be ended whole.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &files, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    if (closeAfterFirstLine) close(pipeEnds[1]);
    if (spawned != 0) {
        if (closeAfterFirstLine) close(pipeEnds[0]);
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(spawned));
    }
    if (closeAfterFirstLine) readFirstLineAndClose(pipeEnds[0], outPath, deadline);

    Finished finished;
    int status = 0;
    bool started = !watch.started;
    if (!started) deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    bool shownWaiting = false;
    for (;;) {
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child) break;
        if (!started && watch.started()) {
            started = true;
            deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
        }
        if (!shownWaiting && watch.waitsForever && watch.waitsForever()) {
            shownWaiting = true;
            deadline = std::min(deadline, std::chrono::steady_clock::now() + std::chrono::seconds(2));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            finished.hung = true;
            kill(-child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (endGroup) kill(-child, SIGKILL);
    finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return finished;
}

}  // namespace

namespace {

RunResult runOnce(const Json& profile, const RunOptions& options) {
    RunResult result;
    result.folder = makeTestFolder();
    const std::string profilePath = result.folder + "/profile.json";
    const std::string journalPath = result.folder + "/journal.txt";
    const std::string outPath = result.folder + "/stdout";
    const std::string errPath = result.folder + "/stderr";
    writeFile(profilePath, profile.dump());

    std::vector<std::string> arguments = {std::string(REPO_ROOT) + "/scripts/standin-run", profilePath};
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    const std::string startedPath = result.folder + "/started";
    RunWatch watch;
    watch.started = [&startedPath] { return access(startedPath.c_str(), F_OK) == 0; };
    if (!options.endSoonAfterJournalLine.empty()) {
        watch.waitsForever = [&journalPath, &options] {
            const std::vector<std::string> journal = splitJournal(readFile(journalPath));
            return std::find(journal.begin(), journal.end(), options.endSoonAfterJournalLine) != journal.end();
        };
    }
    std::vector<std::string> environment =
        childEnvironment(journalPath, options.locale, options.program, options.timeZone);
    environment.push_back("STANDIN_RUN_STARTED=" + startedPath);
    const Finished finished = spawnAndWait(arguments, environment, outPath, errPath, options.timeoutSeconds, false,
                                           options.closeAfterFirstLine, watch);
    result.exitCode = finished.exitCode;
    result.hung = finished.hung;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    result.journal = splitJournal(readFile(journalPath));
    for (const std::string& line : result.journal) {
        if (line.rfind("profile error", 0) == 0) throw std::runtime_error("the stand-in refused the profile: " + line);
    }
    return result;
}

// Wine did not start the run, and the exporter never ran: no output and no
// journal. Wine's loader gives up with 127; it fails to start the launcher,
// which then exits with 1, or now and then with 0, and no message (the
// exporter never exits with 1 without one, and every run that starts the
// exporter journals); or the launcher cannot start the exporter
// (CreateProcess fails, as Wine makes it fail with ERROR_INTERNAL_ERROR when
// the new process dies before it is set up). Seen now and then on a busy
// machine.
bool notStarted(const RunResult& result) {
    if (result.hung || !result.out.empty() || !result.journal.empty()) return false;
    const bool launcherNotStarted = wineGaveUpStarting(result.exitCode) && result.err.empty();
    const bool exporterNotStarted =
        result.exitCode == 125 && result.err.rfind("standin-launcher: cannot start ", 0) == 0;
    return launcherNotStarted || exporterNotStarted;
}

// Wine's own loader failed as one of its processes ended: the host's
// dynamic linker printed an assertion of its own on standard error (seen
// once in a long soak). No Windows program writes it; the run says nothing
// of the exporter.
bool wineLoaderFailed(const RunResult& result) {
    return result.err.find("Inconsistency detected by ld.so:") != std::string::npos;
}

}  // namespace

RunResult run(const Json& profile, const RunOptions& options) {
    constexpr int attempts = 3;
    for (int attempt = 1;; ++attempt) {
        RunResult result = runOnce(profile, options);
        if (attempt == attempts || !(notStarted(result) || wineLoaderFailed(result))) return result;
        madeAgainAfter("the run in " + result.folder, result.exitCode);
    }
}

std::size_t runsMadeAgain() { return madeAgain.load(); }

ToolResult runWindowsTool(const std::string& tool, const std::vector<std::string>& toolArguments,
                          const std::string& locale, const std::string& timeZone) {
    std::vector<std::string> arguments = {"/bin/bash", "-c",
                                          "source '" + std::string(REPO_ROOT) + "/scripts/lib/paths.sh' && wine \"$@\"",
                                          "bash", buildRoot() + "/windows/bin/" + tool};
    arguments.insert(arguments.end(), toolArguments.begin(), toolArguments.end());
    // The project's tools say something on every path: silence means that
    // Wine never ran the tool, as for the exporter's runs.
    constexpr int attempts = 3;
    for (int attempt = 1;; ++attempt) {
        const std::string folder = makeTestFolder();
        const Finished finished =
            spawnAndWait(arguments, childEnvironment(folder + "/journal.txt", locale, "", timeZone), folder + "/stdout",
                         folder + "/stderr", 600);
        const ToolResult result{finished.exitCode, readFile(folder + "/stdout") + readFile(folder + "/stderr")};
        const bool notStarted = !finished.hung && result.output.empty() && wineGaveUpStarting(result.exitCode);
        if (attempt == attempts || !notStarted) return result;
        madeAgainAfter(tool + " in " + folder, result.exitCode);
    }
}

CommandResult runCommand(const std::vector<std::string>& arguments, const std::string& locale, int timeoutSeconds) {
    const std::string folder = makeTestFolder();
    const Finished finished = spawnAndWait(arguments, childEnvironment("", locale), folder + "/stdout",
                                           folder + "/stderr", timeoutSeconds, true);
    return {finished.exitCode, finished.hung, readFile(folder + "/stdout"), readFile(folder + "/stderr")};
}

RunResult run(const Json& profile, std::vector<std::string> arguments) {
    RunOptions options;
    options.arguments = std::move(arguments);
    return run(profile, options);
}

std::string decode(const std::string& bytes, const char* codePage) {
    iconv_t converter = iconv_open("UTF-8", codePage);
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no converter for the code page");
    std::string input = bytes;
    std::string output(bytes.size() * 4 + 16, '\0');
    char* in = input.data();
    char* out = output.data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = output.size();
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<std::size_t>(-1)) throw std::runtime_error("bytes not valid in the code page");
    output.resize(output.size() - outLeft);
    return output;
}

std::vector<std::string> lines(const std::string& out) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = out.find("\r\n", start)) != std::string::npos; start = end + 2) {
        result.push_back(out.substr(start, end - start));
    }
    result.push_back(out.substr(start));
    return result;
}

std::vector<Json> records(const RunResult& run, const char* codePage) {
    std::vector<std::string> output = lines(run.out);
    if (output.size() >= 2 && output[output.size() - 2].rfind("contatti trovati: ", 0) == 0)
        output.resize(output.size() - 2);
    std::vector<Json> parsed;
    for (const std::string& line : output) parsed.push_back(Json::parse(decode(line, codePage)));
    return parsed;
}

::testing::AssertionResult endedInOrder(const RunResult& run) {
    if (run.hung) return ::testing::AssertionFailure() << "the run hung";
    if (run.journal.empty()) {
        return ::testing::AssertionFailure()
               << "the run wrote no journal (exit code " << run.exitCode << ", standard error \"" << run.err << "\")";
    }
    if (run.journal.back().rfind("live-objects ", 0) != 0) {
        return ::testing::AssertionFailure() << "the journal ends in \"" << run.journal.back() << "\"";
    }
    for (const std::string& line : run.journal) {
        if (line.rfind("live-objects ", 0) == 0 && line != "live-objects 0") {
            return ::testing::AssertionFailure() << "the journal reports \"" << line << "\"";
        }
    }
    const std::size_t initialised = run.indexOf("MAPIInitialize");
    const std::size_t ended = run.indexOf("MAPIUninitialize");
    const std::size_t unloaded = run.indexOf("mapi32 unloaded");
    if (initialised != std::string::npos && unloaded == std::string::npos) {
        return ::testing::AssertionFailure() << "mapi32.dll was loaded and never released";
    }
    if (ended != std::string::npos && !(initialised < ended && ended < unloaded)) {
        return ::testing::AssertionFailure()
               << "MAPI was not ended between its initialisation and its library's release";
    }
    return ::testing::AssertionSuccess();
}

void expectCallsInOrder(const RunResult& run, const std::vector<std::string>& calls) {
    auto next = run.journal.begin();
    for (const std::string& call : calls) {
        const auto found = std::find(next, run.journal.end(), call);
        if (found == run.journal.end()) {
            ADD_FAILURE() << "the journal has no \"" << call << "\" after the calls before it";
            return;
        }
        next = found + 1;
    }
}

bool isOperation(const std::string& line) {
    return line.rfind("GetIDsOfNames ", 0) != 0 && line.find('.') != std::string::npos &&
           line.find(' ') == std::string::npos && !isSessionOperation(line);
}

bool isSessionOperation(const std::string& line) {
    for (const char* prefix : {"MAPILogonEx", "IMAPISession.", "IMsgStore.", "IMessage.", "IAddrBook.", "IMailUser."}) {
        if (line.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

long long operationsBefore(const std::vector<std::string>& journal, const std::string& line, int occurrence) {
    long long operations = 0;
    for (const std::string& entry : journal) {
        if (entry == line && --occurrence == 0) return operations;
        if (isOperation(entry)) ++operations;
    }
    throw std::runtime_error("the journal has no " + line);
}

std::vector<std::string> withoutRejections(std::vector<std::string> journal) {
    journal.erase(std::remove(journal.begin(), journal.end(), "rejected"), journal.end());
    return journal;
}

std::size_t liveObjectLines(const RunResult& run) {
    return static_cast<std::size_t>(std::count_if(run.journal.begin(), run.journal.end(), [](const std::string& line) {
        return line.rfind("live-objects", 0) == 0;
    }));
}

std::string useOwnTemporaryDirectory(Json& profile) {
    const std::string temporary = makeTestFolder() + "/temp";
    mkdir(temporary.c_str(), 0755);
    profile["environment"]["TMP"] = windowsPath(temporary);
    profile["environment"]["TEMP"] = windowsPath(temporary);
    return temporary;
}

Json mixedProfile() {
    const Json items = Json::array({
        {{"FullName", "Anna Rossi"},
         {"FirstName", "Anna"},
         {"LastName", "Rossi"},
         {"Email1Address", "anna@example.com"},
         {"Email1AddressType", "SMTP"},
         {"Email2Address", "Zo\u00EB M\u00FCller"},
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
         {"attachments", Json::array({{{"base64", "JVBERi0xLjQ="}, {"fileName", "Offerta.pdf"}},
                                      {{"base64", "/9j/4AAQSkZJRgABAQ=="}}})}},
        {{"FirstName", "Only"}, {"BusinessTelephoneNumber", "\"quoted\" \\ number"}},
    });
    const Json addressBook =
        Json::array({{{"address", "/o=Contoso/cn=Recipients/cn=eperson"}, {"smtp", "e.person@contoso.example"}}});
    Json profile = {{"version", "16.0.17928.20114"}, {"items", items}, {"addressBook", addressBook}};
    useOwnTemporaryDirectory(profile);
    return profile;
}

Json withFaults(Json profile, const Json& faults) {
    profile["faults"] = faults;
    return profile;
}

Json utf16(const std::u16string& units) {
    Json list = Json::array();
    for (char16_t unit : units) list.push_back(static_cast<unsigned>(unit));
    return Json{{"utf16", list}};
}

Json fault(const std::string& operation, const std::string& hresult, int call) {
    return Json{{"operation", operation}, {"hresult", hresult}, {"call", call}};
}

Json nullResult(const std::string& operation, int call) {
    return Json{{"operation", operation}, {"result", "null"}, {"call", call}};
}

Json guardedRoadProfile(const std::string& server, const std::string& guard) {
    return {{"server", server},
            {"mapiObject", "unmarshallable"},
            {"guard", guard},
            {"items", {{{"FullName", "Ada Lovelace"}, {"Email1Address", "ada@example.com"}}}},
            {"faults", {fault("MAPILogonEx")}}};
}

bool aRunReachesThePrompt(
    const std::function<void(const std::string& profile, const std::string& journal, int limitSeconds)>& attempt,
    const std::string& server) {
    for (int limit = 4; limit <= 64; limit *= 2) {
        const std::string folder = makeTestFolder();
        const std::string journal = folder + "/journal";
        attempt(profileFile(guardedRoadProfile(server, "unanswered"), folder), journal, limit);
        EXPECT_TRUE(noServerLeftFor(folder));
        if (readFile(journal).find("guard prompt") != std::string::npos) return true;
    }
    return false;
}

Json objectModelRoad() { return Json::array({fault("_Application.Version")}); }

}  // namespace e2e
