// Eight exporters started at once, on profiles whose contacts all have a
// picture: four with one picture, four with another, all saving pictures
// through the same temporary directory, that is through the same picture
// file. Each must write its own export byte for byte: its own pictures, its
// own records and its trailer.
//
// With SOAK_TIMING set (scripts/soak does), no run side by side may take
// longer than eight times a run of the same profile alone (the mean of two,
// measured just before): the runs take turns on the picture file, and none
// may be kept waiting on it while the others go on.

#include "ExporterRun.h"
#include "ReferenceBase64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <iomanip>
#include <iostream>
#include <random>

using namespace e2e;

namespace {

constexpr int exporters = 8;
constexpr int contactsEach = 16;
constexpr std::size_t pictureBytes = 192 * 1024;

struct PicturedProfile {
    Json profile;
    std::string expectedOut;
};

// A profile of contacts that all have the same picture, `pictureBytes` of
// the seed's bytes, and the export it must give.
PicturedProfile picturedProfile(const std::string& label, unsigned seed, const std::string& temporary) {
    std::mt19937 random(seed);
    std::string picture = "\xFF\xD8\xFF\xE0";
    while (picture.size() < pictureBytes) picture += static_cast<char>(random() & 0xFF);
    const std::string file = makeTestFolder() + "/picture.jpg";
    writeFile(file, picture);
    const std::string image = reference::base64(picture);

    PicturedProfile result;
    Json items = Json::array();
    for (int index = 0; index < contactsEach; ++index) {
        items.push_back({{"FullName", "Picture " + label + " " + std::to_string(index)},
                         {"HasPicture", true},
                         {"attachments", Json::array({{{"path", windowsPath(file)}}})}});
    }
    for (int index = contactsEach - 1; index >= 0; --index) {
        result.expectedOut += "{\"image\":\"" + image + "\",\"displayname\":\"Picture " + label + " " +
                              std::to_string(index) + "\",\"emailaddrs\":[],\"phones\":[]}\r\n";
    }
    result.expectedOut +=
        "contatti trovati: " + std::to_string(contactsEach) + " / " + std::to_string(contactsEach) + "\r\n";
    result.profile = {{"items", items},
                      {"environment", {{"TMP", windowsPath(temporary)}, {"TEMP", windowsPath(temporary)}}}};
    return result;
}

struct TimedRun {
    RunResult result;
    double seconds = 0;
};

TimedRun timedRun(const Json& profile) {
    const auto started = std::chrono::steady_clock::now();
    TimedRun timed;
    timed.result = run(profile);
    timed.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return timed;
}

void expectOwnExport(const RunResult& result, const PicturedProfile& profile, const std::string& what) {
    ASSERT_FALSE(result.hung) << what;
    EXPECT_EQ(result.exitCode, 0) << what;
    EXPECT_EQ(result.err, "") << what;
    // Compared whole: a picture of the other profile, or a record cut short, shows here.
    EXPECT_TRUE(result.out == profile.expectedOut)
        << what << ": the export differs from its own profile's, from byte "
        << std::mismatch(result.out.begin(), result.out.end(), profile.expectedOut.begin(), profile.expectedOut.end())
                   .first -
               result.out.begin();
    EXPECT_TRUE(endedInOrder(result)) << what;
}

}  // namespace

TEST(SideBySide, EightExportersSharingThePictureFileEachWriteTheirOwnExport) {
    const std::string temporary = makeTestFolder();
    const PicturedProfile profiles[] = {picturedProfile("A", 1, temporary), picturedProfile("B", 2, temporary)};

    // Each profile alone first, twice: the mean is the measure for the runs side by side.
    double alone[2] = {0, 0};
    for (int round = 0; round < 2; ++round) {
        for (int which = 0; which < 2; ++which) {
            const TimedRun lone = timedRun(profiles[which].profile);
            expectOwnExport(lone.result, profiles[which], std::string("profile ") + "AB"[which] + " alone");
            alone[which] += lone.seconds / 2;
        }
    }

    std::vector<std::future<TimedRun>> started;
    for (int index = 0; index < exporters; ++index) {
        started.push_back(std::async(std::launch::async, timedRun, std::cref(profiles[index % 2].profile)));
    }
    const bool timing = std::getenv("SOAK_TIMING") != nullptr;
    double slowest = 0;
    double slowestRatio = 0;
    for (int index = 0; index < exporters; ++index) {
        const TimedRun timed = started[static_cast<std::size_t>(index)].get();
        const std::string what = "run " + std::to_string(index) + " (profile " + "AB"[index % 2] + ")";
        expectOwnExport(timed.result, profiles[index % 2], what);
        const double ratio = timed.seconds / alone[index % 2];
        if (timing) {
            EXPECT_LE(ratio, 8.0) << what << " took " << timed.seconds << " s, alone " << alone[index % 2] << " s";
        }
        slowest = std::max(slowest, timed.seconds);
        slowestRatio = std::max(slowestRatio, ratio);
    }
    std::cout << std::fixed << std::setprecision(2) << "alone: " << alone[0] << " s and " << alone[1]
              << " s; eight side by side: the slowest " << slowest << " s, " << slowestRatio
              << " times its run alone\n";
    std::cout << "soak figures side-by-side: runs " << exporters + 4 << " alone " << std::max(alone[0], alone[1])
              << " slowest " << slowest << " ratio " << slowestRatio << " made-again " << runsMadeAgain() << "\n";
}
