#include "ExporterRun.h"
#include "ReferenceBase64.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace e2e;

namespace {

const std::string jpegLike = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01", 12) + "picture one" + "\xFF\xD9";
const std::string otherBytes = std::string("\xFF\xD8\xFF\xDB\x00\x43", 6) + "picture two?>" + "\xFF\xD9";

std::string base64(const std::string& bytes) { return reference::base64(bytes); }

// A profile whose temporary directory is a folder of the test's own, so
// that runs side by side never share a picture file.
struct PictureProfile {
    std::string temporary;
    Json profile;

    explicit PictureProfile(const Json& items, const std::string& folderName = "temp") {
        const std::string folder = makeTestFolder();
        temporary = folder + "/" + folderName;
        mkdir(temporary.c_str(), 0755);
        profile = {{"items", items},
                   {"environment", {{"TMP", windowsPath(temporary)}, {"TEMP", windowsPath(temporary)}}}};
    }
    std::string pictureFile() const { return readFile(temporary + "/contactimage.jpg"); }
};

Json attachment(const std::string& bytes) { return {{"base64", base64(bytes)}}; }

Json pictureContact(const std::string& name, const Json& attachments, bool hasPicture = true) {
    return {{"FullName", name}, {"HasPicture", hasPicture}, {"attachments", attachments}};
}

void expectClean(const RunResult& result) {
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.journal.back(), "live-objects 0");
}

}  // namespace

TEST(ContactPicture, APictureIsWrittenAsBase64BeforeTheDisplayName) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({attachment(jpegLike)}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"image\":\"" + base64(jpegLike) +
                              "\",\"displayname\":\"Ada\",\"emailaddrs\":[],"
                              "\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(picture.pictureFile(), jpegLike);
    expectClean(result);
}

TEST(ContactPicture, NoAttachmentsMeansNoImage) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array())}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"displayname\":\"Ada\",\"emailaddrs\":[],\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    expectClean(result);
}

TEST(ContactPicture, WithoutHasPictureTheAttachmentsAreNotLookedAt) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({attachment(jpegLike)}), false)}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"displayname\":\"Ada\",\"emailaddrs\":[],\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    EXPECT_FALSE(result.journalHas("_ContactItem.Attachments"));
    expectClean(result);
}

TEST(ContactPicture, TheFirstAttachmentIsTheOneTaken) {
    PictureProfile picture(
        Json::array({pictureContact("Ada", Json::array({attachment(otherBytes), attachment(jpegLike)}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out.substr(0, 10 + base64(otherBytes).size() + 2), "{\"image\":\"" + base64(otherBytes) + "\",");
    EXPECT_EQ(result.count("Attachments.Item"), 1u);
    expectClean(result);
}

TEST(ContactPicture, AnEmptyAttachmentGivesAnEmptyImage) {
    PictureProfile picture(Json::array({pictureContact("", Json::array({attachment("")}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"image\":\"\",\"emailaddrs\":[],\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    expectClean(result);
}

TEST(ContactPicture, EachContactCarriesItsOwnPicture) {
    PictureProfile picture(Json::array({pictureContact("First", Json::array({attachment(jpegLike)})),
                                        pictureContact("Second", Json::array({attachment(otherBytes)}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"image\":\"" + base64(otherBytes) +
                              "\",\"displayname\":\"Second\",\"emailaddrs\":[],"
                              "\"phones\":[]}\r\n{\"image\":\"" +
                              base64(jpegLike) +
                              "\",\"displayname\":\"First\","
                              "\"emailaddrs\":[],\"phones\":[]}\r\ncontatti trovati: 2 / 2\r\n");
    EXPECT_EQ(picture.pictureFile(), jpegLike);
    expectClean(result);
}

TEST(ContactPicture, ATemporaryDirectoryOutsideAsciiServesSaveAndReadBack) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({attachment(jpegLike)}))}),
                           "J\u00F6rg \u65E5\u672C");
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out.substr(0, 10 + base64(jpegLike).size()), "{\"image\":\"" + base64(jpegLike));
    EXPECT_EQ(picture.pictureFile(), jpegLike);
    expectClean(result);
}

TEST(ContactPicture, AMissingAttachmentCollectionEndsTheExportWithAMessage) {
    PictureProfile picture(Json::array(
        {pictureContact("Second", Json::array({attachment(jpegLike)})), pictureContact("First", Json::array())}));
    picture.profile["faults"] = Json::array({nullResult("_ContactItem.Attachments", 2)});
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.err, "Unabel to get Attachments.");
    EXPECT_EQ(result.out, "{\"displayname\":\"First\",\"emailaddrs\":[],\"phones\":[]}\r\n{");
    expectClean(result);
}

TEST(ContactPicture, AFailedSaveLeavesTheOutputEndingInTheImageKey) {
    for (const std::string operation : {"Attachment.SaveAsFile", "Attachments.Item"}) {
        PictureProfile picture(Json::array({pictureContact("Ada", Json::array({attachment(jpegLike)}))}));
        picture.profile["faults"] = Json::array({fault(operation, "0x80030070")});
        const RunResult result = run(picture.profile);
        EXPECT_EQ(result.out, "{\"image\":") << operation;
        EXPECT_EQ(result.err, "");
        expectClean(result);
    }
}

TEST(ContactPicture, APictureFileThatCannotBeReadEndsTheWalk) {
    Json held = attachment(jpegLike);
    held["holdOpen"] = true;
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({held}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"image\":");
    EXPECT_EQ(result.err, "");
    expectClean(result);
}
