// The NuGet package as packages/nuget/build-nupkg builds it from the test
// build's executables: laid out as NuGet expects, and its client class,
// compiled by mcs from the package's own sources into a small program
// (packages/nuget/tests/ReadWithPackage.cs) beside the executables as the
// package's .targets lays them out, reads what the example clients read.
#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const std::string repoRoot = REPO_ROOT;

struct BuiltPackage {
    std::string nupkg;
    std::string extracted;  // the package unzipped
    std::string app;        // the program, with x64\ and x86\ beside it
    std::string executables;
    std::string notices;
};

std::vector<std::string> csharpSources(const std::string& folder) {
    std::vector<std::string> sources;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".cs") sources.push_back(entry.path().string());
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}

void copyFile(const std::string& from, const std::string& to) {
    fs::create_directories(fs::path(to).parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

BuiltPackage buildPackage() {
    BuiltPackage built;
    const std::string folder = makeTestFolder();
    built.executables = folder + "/executables";
    copyFile(buildRoot() + "/windows/bin/contact-exporter.exe", built.executables + "/x64/contact-exporter.exe");
    copyFile(buildRoot() + "/windows-x86/bin/contact-exporter.exe", built.executables + "/x86/contact-exporter.exe");
    built.notices = folder + "/notices.txt";
    writeFile(built.notices, "Third-party notices, as the release ships them.\n");

    const CommandResult packed =
        runCommand({repoRoot + "/packages/nuget/build-nupkg", "--executables", built.executables, "--notices",
                    built.notices, "--version", "1.2.3", "--out", folder + "/out"});
    built.nupkg = folder + "/out/ContactExporter.1.2.3.nupkg";
    if (packed.exitCode != 0 || packed.out != built.nupkg + "\n") {
        throw std::runtime_error("build-nupkg failed: " + packed.out + packed.err);
    }
    built.extracted = folder + "/extracted";
    if (runCommand({"/usr/bin/unzip", "-q", built.nupkg, "-d", built.extracted}).exitCode != 0) {
        throw std::runtime_error("cannot unzip the package");
    }

    // What the .targets does on build: the two builds beside the program.
    built.app = folder + "/app";
    for (const std::string bitness : {"x64", "x86"}) {
        copyFile(built.extracted + "/runtimes/win-" + bitness + "/native/contact-exporter.exe",
                 built.app + "/" + bitness + "/contact-exporter.exe");
    }
    std::vector<std::string> compile = {MCS,
                                        "-langversion:5",
                                        "-warnaserror",
                                        "-r:System.Runtime.Serialization.dll",
                                        "-out:" + built.app + "/ReadWithPackage.exe",
                                        repoRoot + "/packages/nuget/tests/ReadWithPackage.cs"};
    for (const std::string& source : csharpSources(built.extracted + "/contentFiles/cs/any/ContactExporter")) {
        compile.push_back(source);
    }
    const CommandResult compiled = runCommand(compile);
    if (compiled.exitCode != 0) throw std::runtime_error("mcs failed: " + compiled.out + compiled.err);
    return built;
}

const BuiltPackage& package() {
    static const BuiltPackage built = buildPackage();
    return built;
}

// ReadWithPackage MODE [OPTION VALUE]... -- standin-prefix PROFILE
CommandResult readWithPackage(const std::string& mode, const std::string& profile,
                              const std::vector<std::string>& options = {},
                              const std::vector<std::string>& environment = {}, const std::string& locale = "C.UTF-8") {
    std::vector<std::string> command = {"/usr/bin/env"};
    command.insert(command.end(), environment.begin(), environment.end());
    command.insert(command.end(), {MONO, package().app + "/ReadWithPackage.exe", mode});
    command.insert(command.end(), options.begin(), options.end());
    command.insert(command.end(), {"--", repoRoot + "/tests/e2e/helpers/standin-prefix", profile});
    return runCommand(command, locale);
}

CommandResult pythonClient(const std::vector<std::string>& options, const std::string& profile,
                           const std::string& locale = "C.UTF-8", const std::vector<std::string>& environment = {}) {
    std::vector<std::string> command = {"/usr/bin/env"};
    command.insert(command.end(), environment.begin(), environment.end());
    command.insert(command.end(), {"python3", repoRoot + "/examples/read_contacts.py"});
    command.insert(command.end(), options.begin(), options.end());
    command.insert(command.end(), {repoRoot + "/scripts/standin-run", profile});
    return runCommand(command, locale);
}

std::set<std::string> splitLines(const std::string& text) {
    std::set<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) result.insert(line);
    return result;
}

}  // namespace

// The parts NuGet reads: the nuspec at the top with the version given, the
// Open Packaging Conventions' content types and relationships, the
// executables byte for byte under runtimes/<rid>/native, the build step, the
// client's sources for both kinds of project, and the notices.
TEST(NugetPackage, IsLaidOutAsNuGetExpects) {
    const BuiltPackage& built = package();
    std::set<std::string> expected = {"ContactExporter.nuspec",
                                      "[Content_Types].xml",
                                      "_rels/.rels",
                                      "README.md",
                                      "THIRD-PARTY-NOTICES.txt",
                                      "runtimes/win-x64/native/contact-exporter.exe",
                                      "runtimes/win-x86/native/contact-exporter.exe",
                                      "build/ContactExporter.targets",
                                      "lib/net462/_._",
                                      "lib/net6.0/_._"};
    for (const std::string& source : csharpSources(repoRoot + "/packages/nuget/src")) {
        const std::string name = fs::path(source).filename().string();
        expected.insert("contentFiles/cs/any/ContactExporter/" + name);
        expected.insert("content/ContactExporter/" + name);
    }
    EXPECT_EQ(splitLines(runCommand({"/usr/bin/unzip", "-Z1", built.nupkg}).out), expected);

    const std::string nuspec = readFile(built.extracted + "/ContactExporter.nuspec");
    EXPECT_NE(nuspec.find("<id>ContactExporter</id>"), std::string::npos);
    EXPECT_NE(nuspec.find("<version>1.2.3</version>"), std::string::npos);
    EXPECT_NE(nuspec.find(R"(<files include="cs/any/ContactExporter/*.cs" buildAction="Compile")"), std::string::npos);
    const std::string types = readFile(built.extracted + "/[Content_Types].xml");
    for (const std::string extension : {"rels", "nuspec", "exe", "targets", "cs", "md", "txt", "_"}) {
        EXPECT_NE(types.find("<Default Extension=\"" + extension + "\""), std::string::npos) << extension;
    }
    EXPECT_NE(readFile(built.extracted + "/_rels/.rels").find(R"(Target="/ContactExporter.nuspec")"),
              std::string::npos);
    const std::string targets = readFile(built.extracted + "/build/ContactExporter.targets");
    for (const std::string bitness : {"x64", "x86"}) {
        EXPECT_EQ(readFile(built.extracted + "/runtimes/win-" + bitness + "/native/contact-exporter.exe"),
                  readFile(built.executables + "/" + bitness + "/contact-exporter.exe"));
        EXPECT_NE(targets.find("win-" + bitness + R"(\native\contact-exporter.exe)"), std::string::npos);
        EXPECT_NE(targets.find("<Link>" + bitness + R"(\contact-exporter.exe</Link>)"), std::string::npos);
    }
    EXPECT_EQ(readFile(built.extracted + "/THIRD-PARTY-NOTICES.txt"), readFile(built.notices));
}

// The class, whole and streamed, gives the records the Python client gives
// (its --json form) on the bundled sample and on code page 932; an export that
// an Outlook error stops fails as incomplete after the same records; a stream
// left early ends quietly; the status query answers the version.
TEST(NugetPackage, ClientReadsWhatTheExampleClientsRead) {
    const std::string sample = repoRoot + "/samples/profile.json";
    const CommandResult python = pythonClient({"--json"}, sample);
    ASSERT_EQ(python.exitCode, 0) << python.err;
    for (const std::string mode : {"export", "stream"}) {
        const CommandResult read = readWithPackage(mode, sample);
        EXPECT_EQ(read.exitCode, 0) << read.err;
        EXPECT_EQ(read.out, python.out + "20 of 22 items, X64\n") << mode;
    }

    const Json japanese = {{"items",
                            {{{"FullName", "山田 太郎"}, {"Email1Address", "taro@example.jp"}},
                             {{"FullName", "佐藤"}, {"MobileTelephoneNumber", "090-1234-5678"}}}}};
    const std::string japaneseProfile = profileFile(japanese);
    const CommandResult pythonJapanese =
        pythonClient({"--json", "--encoding", "cp932"}, japaneseProfile, "ja_JP.UTF-8");
    const CommandResult japaneseRead =
        readWithPackage("export", japaneseProfile, {"--text", "ansi", "--code-page", "932"}, {}, "ja_JP.UTF-8");
    EXPECT_EQ(japaneseRead.exitCode, 0) << japaneseRead.err;
    EXPECT_EQ(japaneseRead.out, pythonJapanese.out + "2 of 2 items, X64\n");

    // The walk goes from the last item to the first: Bo's record is whole, Ada's cut short.
    const Json stopped = {{"items", {{{"FullName", "Ada Lovelace"}}, {{"FullName", "Bo Lee"}, {"LastName", "Lee"}}}},
                          {"faults", {fault("_ContactItem.LastName", "0x80004005", 2)}}};
    const std::string stoppedProfile = profileFile(stopped);
    const CommandResult pythonStopped = pythonClient({}, stoppedProfile);
    const std::string readByPython = "read_contacts: incomplete export (1 records read): ";
    ASSERT_EQ(pythonStopped.err.rfind(readByPython, 0), 0u) << pythonStopped.err;
    const CommandResult streamed = readWithPackage("stream", stoppedProfile);
    EXPECT_EQ(streamed.exitCode, 3);
    EXPECT_EQ(streamed.out, R"({"displayname":"Bo Lee","emailaddrs":[],"surname":"Lee","phones":[]})"
                            "\n");
    EXPECT_EQ(streamed.err,
              "IncompleteExport (1 records read, exit code 0, X64): " + pythonStopped.err.substr(readByPython.size()));

    // Leaving the stream early ends the run and returns, the exporter still
    // walking a large folder or not.
    const Json large = {{"items", {{{"FullName", "Ada Lovelace"}}}}, {"itemsRepeat", 20000}};
    const CommandResult first = readWithPackage("first", profileFile(large));
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, R"({"displayname":"Ada Lovelace","emailaddrs":[],"phones":[]})"
                         "\nleft the stream\n");
    EXPECT_EQ(first.err, "");

    const CommandResult status = readWithPackage("status", profileFile({{"version", "16.0.17928.20114"}}));
    EXPECT_EQ(status.out, "16.0.17928.20114\n") << status.err;
}

// Bitness "auto" starts with the machine's build; when that one answers as
// a build beside an Outlook of the other bitness does, the other build runs,
// once, and is remembered for the rest of the process. A failure that both
// builds give is the last one's, typed.
TEST(NugetPackage, AutoBitnessTriesTheOtherBuildOnceAndRemembersIt) {
    const BuiltPackage& built = package();
    const std::string log = makeTestFolder() + "/executables-run";
    const std::string profile = profileFile({{"items", {{{"FullName", "Ada Lovelace"}}}}});
    const CommandResult twice =
        readWithPackage("twice", profile, {}, {"STANDIN_PREFIX_LOG=" + log, "STANDIN_PREFIX_WRONG_BITNESS=x64"});
    const std::string ada = R"({"displayname":"Ada Lovelace","emailaddrs":[],"phones":[]})"
                            "\n1 of 1 items, X86\n";
    EXPECT_EQ(twice.exitCode, 0) << twice.err;
    EXPECT_EQ(twice.out, ada + ada);
    const std::string x64 = built.app + "/x64/contact-exporter.exe\n";
    const std::string x86 = built.app + "/x86/contact-exporter.exe\n";
    EXPECT_EQ(readFile(log), x64 + x86 + x86);

    const std::string notInstalledLog = makeTestFolder() + "/executables-run";
    const CommandResult notInstalled = readWithPackage("status", profileFile({{"registry", {{"officeKey", false}}}}),
                                                       {}, {"STANDIN_PREFIX_LOG=" + notInstalledLog});
    EXPECT_EQ(notInstalled.exitCode, 3);
    EXPECT_EQ(notInstalled.err,
              "NotInstalled ( records read, exit code 1, X86): MS Outlook not found or not properly installed\n");
    EXPECT_EQ(readFile(notInstalledLog), x64 + x86);

    const CommandResult mapi = readWithPackage("export", profileFile({{"mapi32", "none"}}), {"--bitness", "x64"});
    EXPECT_EQ(mapi.err, "Mapi ( records read, exit code 1, X64): Cannot load mapi32.dll\n");
}

// By default the client asks for UTF-8 records: names that code page 1252
// cannot hold arrive whole, a lone surrogate as its one UTF-16 unit. Ansi,
// and the fields asked for, give what the Python client reads in the same
// mode (ExampleClientTest pins its bytes). The client's options win over
// variables inherited from its own environment.
TEST(NugetPackage, ClientReadsWholeNamesByDefaultAndTheFieldsAskedFor) {
    const Json contacts = {{{"FullName", "山田 Ωmega 😀"},
                            {"LastName", "Ωmega"},
                            {"EntryID", "00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020304"},
                            {"LastModificationTime", "2026-07-01T12:30:00"}},
                           {{"FullName", utf16({u'A', 0xD800, u'B'})},
                            {"EntryID", "00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020305"},
                            {"LastModificationTime", "2026-07-02T00:00:00"}}};
    const std::string profile = profileFile({{"items", contacts}});
    const std::string counts = "2 of 2 items, X64\n";
    const std::vector<std::string> inherited = {"CONTACT_EXPORTER_TEXT=ansi", "CONTACT_EXPORTER_FIELDS=colour",
                                                "TZ=Europe/Rome"};
    const std::string surrogate = R"({"displayname":"A\ud800B","emailaddrs":[],"phones":[])";
    const std::string yamada =
        R"({"displayname":"\u5c71\u7530 \u03a9mega \ud83d\ude00","emailaddrs":[],"surname":"\u03a9mega","phones":[])";

    const CommandResult whole = readWithPackage("export", profile, {}, inherited);
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(whole.out, surrogate + "}\n" + yamada + "}\n" + counts);
    EXPECT_EQ(whole.out, pythonClient({"--text", "utf-8", "--json"}, profile).out + counts);

    const CommandResult ansi = readWithPackage("stream", profile, {"--text", "ansi"});
    EXPECT_EQ(ansi.exitCode, 0) << ansi.err;
    EXPECT_EQ(ansi.out, pythonClient({"--json"}, profile).out + counts);

    const CommandResult fields = readWithPackage("export", profile, {"--fields", "modified,id"}, inherited);
    EXPECT_EQ(fields.exitCode, 0) << fields.err;
    const std::vector<std::string> asked = {"--text", "utf-8", "--fields", "id,modified", "--json"};
    EXPECT_EQ(fields.out, pythonClient(asked, profile, "C.UTF-8", inherited).out + counts);
}

class NugetPackageOnGuardedRoad : public ::testing::TestWithParam<std::string> {};

// Outlook's security prompt that nobody answers keeps the exporter waiting
// for ever: the client ends the run at its time limit and says so, whole and
// streamed, and leaves no server behind. A denied prompt is an incomplete
// export whose diagnostics name it.
TEST_P(NugetPackageOnGuardedRoad, EndsAnUnansweredPromptAtTheTimeLimitAndTellsADeniedOne) {
    for (const std::string mode : {"export", "stream"}) {
        SCOPED_TRACE(mode);
        const auto endedAtTheLimit = [&mode](const std::string& profile, const std::string& journal, int limit) {
            const CommandResult result = readWithPackage(mode, profile, {"--time-limit", std::to_string(limit)},
                                                         {"OUTLOOK_STANDIN_JOURNAL=" + journal});
            EXPECT_FALSE(result.hung) << "the client waited for the prompt";
            EXPECT_EQ(result.exitCode, 3);
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.err,
                      "TimeLimit ( records read, exit code 137, X64): the exporter did not finish within the time "
                      "limit\n");
        };
        EXPECT_TRUE(aRunReachesThePrompt(endedAtTheLimit, GetParam())) << "no run reached Outlook's prompt";
    }

    const CommandResult denied =
        readWithPackage("export", profileFile(guardedRoadProfile(GetParam(), "denied")), {"--diagnostics", "true"});
    EXPECT_EQ(denied.exitCode, 3);
    const std::string verdict =
        "IncompleteExport (0 records read, exit code 0, X64): the output stops inside a "
        "record: no trailer line\n";
    EXPECT_EQ(denied.err.substr(0, verdict.size()), verdict);
    EXPECT_NE(denied.err.find(deniedPromptDiagnostics), std::string::npos) << denied.err;
}

INSTANTIATE_TEST_SUITE_P(BothServers, NugetPackageOnGuardedRoad, ::testing::Values("inprocess", "local"), serverName);
