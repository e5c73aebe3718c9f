// The texts that callers match on stand in one header of the exporter's
// sources, and README lists them for the callers: the two must agree.
#include "CallerContract.h"
#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace e2e;

namespace {

const std::vector<std::string> exitOneMessages = {
    callerContract::outlookNotInstalled,
    callerContract::cannotLoadMapi32,
    callerContract::cannotLoadInitializeOrUninitialize,
    callerContract::cannotInitializeMapi,
    callerContract::cannotLoadOtherEntryPoints,
    callerContract::unknownTextOption,
    callerContract::unknownFieldsOption,
};

const std::vector<std::string> otherTexts = {
    callerContract::ko,
    callerContract::trailer,
    callerContract::noTemporaryDirectory,
    callerContract::noAttachments,
};

// The messages README's list of exit code 1 names, in its backticks.
std::set<std::string> readmeExitOneMessages(const std::string& readme) {
    std::set<std::string> messages;
    const std::size_t start = readme.find("Messages with exit code 1");
    const std::size_t end = readme.find("\n\n", readme.find("\n- ", start));
    for (std::size_t line = readme.find("\n- `", start); line < end; line = readme.find("\n- `", line + 1)) {
        const std::size_t open = line + 4;
        messages.insert(readme.substr(open, readme.find('`', open) - open));
    }
    return messages;
}

}  // namespace

TEST(CallerContract, ReadmeListsTheTextsTheExporterWrites) {
    const std::string readme = readFile(std::string(REPO_ROOT) + "/README.md");
    for (const std::string& text : otherTexts) EXPECT_NE(readme.find("`" + text), std::string::npos) << text;
    EXPECT_EQ(readmeExitOneMessages(readme), std::set<std::string>(exitOneMessages.begin(), exitOneMessages.end()));
}

// The trailer and the messages ("ko" is quoted in comments too).
TEST(CallerContract, EachTextStandsInOnePlaceOfTheSources) {
    std::vector<std::string> texts = exitOneMessages;
    texts.insert(texts.end(), otherTexts.begin() + 1, otherTexts.end());
    const std::filesystem::path sources = std::filesystem::path(REPO_ROOT) / "src" / "native" / "windows";
    for (const std::string& text : texts) {
        std::vector<std::string> holders;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(sources)) {
            if (entry.is_regular_file() &&
                readFile(entry.path().string()).find('"' + text + '"') != std::string::npos) {
                holders.push_back(entry.path().filename().string());
            }
        }
        EXPECT_EQ(holders, std::vector<std::string>{"CallerContract.h"}) << text;
    }
}
