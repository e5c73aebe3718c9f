// The example client in examples/ reads real exports: it runs the exporter
// through the run script, so a change in the output that the client (and a
// caller written like it) can no longer read shows up here.
#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

using namespace e2e;

namespace {

struct ClientRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// python3 examples/read_contacts.py OPTIONS scripts/standin-run PROFILE, with
// the Linux locale that decides Wine's ANSI code page.
ClientRun runClient(const std::vector<std::string>& options, const std::string& profilePath,
                    const std::string& locale = "C.UTF-8") {
    const std::string folder = makeTestFolder();
    const std::string repo = REPO_ROOT;
    std::string command = "LC_ALL=" + locale + " LANG=" + locale + " python3 " + quoted(repo + "/examples/read_contacts.py");
    for (const std::string& option : options) command += " " + quoted(option);
    command += " " + quoted(repo + "/scripts/standin-run") + " " + quoted(profilePath);
    command += " </dev/null >" + quoted(folder + "/out") + " 2>" + quoted(folder + "/err");
    const int status = std::system(command.c_str());
    ClientRun result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(folder + "/out");
    result.err = readFile(folder + "/err");
    return result;
}

std::string profileFile(const Json& profile) {
    const std::string path = makeTestFolder() + "/profile.json";
    writeFile(path, profile.dump());
    return path;
}

std::string summary(int contacts, int withEmail, int withPhones, int withPictures, int items) {
    return "contacts: " + std::to_string(contacts) + "\nwith e-mail: " + std::to_string(withEmail) +
           "\nwith phones: " + std::to_string(withPhones) + "\nwith pictures: " + std::to_string(withPictures) +
           "\nitems in the folder: " + std::to_string(items) + "\n";
}

}  // namespace

TEST(ExampleClient, SummarisesTheBundledSample) {
    const ClientRun result = runClient({}, std::string(REPO_ROOT) + "/samples/profile.json");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, summary(20, 14, 19, 4, 22));
}

// No contact (the trailer then follows an empty line), a double-byte code
// page, and the status query's UTF-8 answer.
TEST(ExampleClient, ReadsEmptyFoldersOtherCodePagesAndTheStatus) {
    const ClientRun empty = runClient({}, profileFile({{"items", {{{"class", "note"}}}}}));
    EXPECT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_EQ(empty.out, summary(0, 0, 0, 0, 1));

    const Json japanese = {{"items", {{{"FullName", "山田 太郎"}, {"Email1Address", "taro@example.jp"}},
                                      {{"FullName", "佐藤"}, {"MobileTelephoneNumber", "090-1234-5678"}}}}};
    const ClientRun listed = runClient({"--list", "--encoding", "cp932"}, profileFile(japanese), "ja_JP.UTF-8");
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "佐藤\n山田 太郎 <taro@example.jp>\n" + summary(2, 1, 1, 0, 2));

    const ClientRun status = runClient({"--status"}, profileFile({{"version", "16.0.17928.20114"}}));
    EXPECT_EQ(status.exitCode, 0) << status.err;
    EXPECT_EQ(status.out, "Outlook 16.0.17928.20114\n");
}

// A walk that an Outlook error stopped has no trailer line: the client must
// not take the records before it for the whole address book. An exporter
// that cannot run at all is told apart from that.
TEST(ExampleClient, FailsOnAMissingTrailerAndOnAnExporterThatCannotRun) {
    const Json stopped = {{"items", {{{"FullName", "Ada Lovelace"}, {"LastName", "Lovelace"}}}},
                          {"faults", {fault("_ContactItem.LastName")}}};
    const ClientRun incomplete = runClient({}, profileFile(stopped));
    EXPECT_EQ(incomplete.exitCode, 3);
    EXPECT_EQ(incomplete.out, "");
    EXPECT_NE(incomplete.err.find("no trailer line"), std::string::npos) << incomplete.err;

    const std::string noMapi = profileFile({{"mapi32", "none"}, {"items", {{{"FullName", "Ada"}}}}});
    const ClientRun cannotRun = runClient({}, noMapi);
    EXPECT_EQ(cannotRun.exitCode, 1);
    EXPECT_EQ(cannotRun.out, "");
    EXPECT_NE(cannotRun.err.find("Cannot load mapi32.dll"), std::string::npos) << cannotRun.err;

    const ClientRun noOutlook = runClient({"--status"}, profileFile({{"registry", {{"officeKey", false}}}}));
    EXPECT_EQ(noOutlook.exitCode, 1);
    EXPECT_NE(noOutlook.err.find("MS Outlook not found or not properly installed"), std::string::npos)
        << noOutlook.err;
}
