#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <future>

using namespace e2e;

namespace {

// A profile of contacts whose pictures are all `fill` bytes, in a shared
// temporary directory; each is large enough that saving takes a while.
Json picturesProfile(char fill, const std::string& temporary) {
    const std::string picture(256 * 1024, fill);
    const std::string file = makeTestFolder() + "/picture.bin";
    writeFile(file, picture);
    Json items = Json::array();
    for (int index = 0; index < 24; ++index) {
        items.push_back({{"FullName", std::string(1, fill) + std::to_string(index)},
                         {"HasPicture", true},
                         {"attachments", Json::array({{{"path", windowsPath(file)}}})}});
    }
    return {{"items", items}, {"environment", {{"TMP", windowsPath(temporary)}}}};
}

}  // namespace

TEST(ConcurrentRuns, TwoExportersSharingThePictureFileEachCarryTheirOwnPictures) {
    const std::string temporary = makeTestFolder();
    const Json first = picturesProfile('A', temporary);
    const Json second = picturesProfile('B', temporary);
    auto runFirst = std::async(std::launch::async, [&] { return run(first); });
    auto runSecond = std::async(std::launch::async, [&] { return run(second); });
    const RunResult results[] = {runFirst.get(), runSecond.get()};

    const std::string expectedStart[] = {"{\"image\":\"QUFB", "{\"image\":\"QkJC"};
    const std::string foreign[] = {"QkJC", "QUFB"};
    for (int which = 0; which < 2; ++which) {
        const RunResult& result = results[which];
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(endedInOrder(result));
        const std::vector<std::string> output = lines(result.out);
        ASSERT_EQ(output.size(), 26u);
        EXPECT_EQ(output[24], "contatti trovati: 24 / 24");
        for (std::size_t line = 0; line < 24; ++line) {
            EXPECT_EQ(output[line].rfind(expectedStart[which], 0), 0u) << "run " << which << " line " << line;
            EXPECT_EQ(output[line].find(foreign[which]), std::string::npos) << "run " << which << " line " << line;
        }
    }
}
