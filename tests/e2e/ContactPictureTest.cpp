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

Json named(const std::string& bytes, const Json& fileName) {
    Json result = attachment(bytes);
    result["fileName"] = fileName;
    return result;
}

std::string recordWithImage(const std::string& picture, const std::string& name) {
    return "{\"image\":\"" + base64(picture) + "\",\"displayname\":\"" + name + "\",\"emailaddrs\":[],\"phones\":[]}";
}

Json pictureContact(const std::string& name, const Json& attachments, bool hasPicture = true) {
    return {{"FullName", name}, {"HasPicture", hasPicture}, {"attachments", attachments}};
}

void expectEndedInOrder(const RunResult& result) {
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(endedInOrder(result));
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
    expectEndedInOrder(result);
}

TEST(ContactPicture, NoAttachmentsMeansNoImage) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array())}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"displayname\":\"Ada\",\"emailaddrs\":[],\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    expectEndedInOrder(result);
}

TEST(ContactPicture, WithoutHasPictureTheAttachmentsAreNotLookedAt) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({attachment(jpegLike)}), false)}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"displayname\":\"Ada\",\"emailaddrs\":[],\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    EXPECT_FALSE(result.journalHas("_ContactItem.Attachments"));
    expectEndedInOrder(result);
}

// Outlook names the attachment that holds a contact's picture
// "ContactPicture.jpg", and nothing makes it the first attachment.
TEST(ContactPicture, ThePictureIsTheAttachmentNamedAsOutlookNamesIt) {
    struct Case {
        const char* what;
        Json attachments;
        std::string picture;
        std::size_t itemCalls;
    };
    const Case cases[] = {
        {"a document first", {named(otherBytes, "Offerta.pdf"), named(jpegLike, "ContactPicture.jpg")}, jpegLike, 2},
        {"the picture first", {named(jpegLike, "ContactPicture.jpg"), named(otherBytes, "Offerta.pdf")}, jpegLike, 1},
        {"both named so", {attachment(jpegLike), attachment(otherBytes)}, jpegLike, 1},
        {"in other letter case", {named(otherBytes, nullptr), named(jpegLike, "CONTACTPICTURE.jpg")}, jpegLike, 2},
        {"none named so", {named(otherBytes, "a.pdf"), named(jpegLike, "b.jpg"), named(jpegLike, "")}, otherBytes, 3},
    };
    for (const Case& each : cases) {
        PictureProfile picture(Json::array({pictureContact("Ada", each.attachments)}));
        const RunResult result = run(picture.profile);
        EXPECT_EQ(result.out, recordWithImage(each.picture, "Ada") + "\r\ncontatti trovati: 1 / 1\r\n") << each.what;
        EXPECT_EQ(picture.pictureFile(), each.picture) << each.what;
        EXPECT_EQ(result.count("Attachments.Item"), each.itemCalls) << each.what;
        EXPECT_EQ(result.count("Attachment.FileName"), each.itemCalls) << each.what;
        EXPECT_EQ(result.count("Attachment.SaveAsFile"), 1u) << each.what;
        expectEndedInOrder(result);
        if (each.picture == jpegLike && each.itemCalls == 2) {
            // The picture's name is read before it is saved.
            expectCallsInOrder(result, {"Attachments.Count", "Attachments.Item", "Attachment.FileName",
                                        "Attachments.Item", "Attachment.FileName", "Attachment.SaveAsFile"});
        }
    }
}

TEST(ContactPicture, TheOnlyAttachmentIsThePictureAndItsNameIsNotRead) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({named(otherBytes, "Offerta.pdf")}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, recordWithImage(otherBytes, "Ada") + "\r\ncontatti trovati: 1 / 1\r\n");
    EXPECT_FALSE(result.journalHas("Attachment.FileName"));
    expectEndedInOrder(result);
}

// An attachment whose name cannot be read (or that cannot be had at all)
// is not the picture; the others are still looked at, and when none is
// named as the picture the first attachment is taken as always.
TEST(ContactPicture, AnAttachmentWhoseNameCannotBeReadIsNotThePicture) {
    struct Case {
        const char* what;
        Json attachments;
        Json faults;
        std::string picture;
        std::vector<std::string> calls;
    };
    const Json pdf = named(otherBytes, "Offerta.pdf");
    const Json photo = named(jpegLike, "ContactPicture.jpg");
    const Case cases[] = {
        {"the first name fails",
         {photo, named(otherBytes, "x.pdf")},
         {fault("Attachment.FileName", "0x80004005", 1)},
         jpegLike,
         {"Attachments.Item", "Attachment.FileName", "Attachments.Item", "Attachment.FileName",
          "Attachment.SaveAsFile"}},
        {"the last name fails",
         {pdf, named(jpegLike, "y.jpg"), photo},
         {fault("Attachment.FileName", "0x80004005", 3)},
         otherBytes,
         {"Attachments.Item", "Attachment.FileName", "Attachments.Item", "Attachment.FileName", "Attachments.Item",
          "Attachment.FileName", "Attachment.SaveAsFile"}},
        {"the only other name fails",
         {pdf, photo},
         {fault("Attachment.FileName", "0x80020009", 2)},
         otherBytes,
         {"Attachments.Item", "Attachment.FileName", "Attachments.Item", "Attachment.FileName",
          "Attachment.SaveAsFile"}},
        {"the first attachment cannot be had, the second is the picture",
         {pdf, photo},
         {fault("Attachments.Item", "0x80004005", 1)},
         jpegLike,
         {"Attachments.Item", "Attachments.Item", "Attachment.FileName", "Attachment.SaveAsFile"}},
        {"the first attachment comes back without an object",
         {pdf, named(jpegLike, "y.jpg")},
         {nullResult("Attachments.Item", 1)},
         otherBytes,
         {"Attachments.Item", "Attachments.Item", "Attachment.FileName", "Attachments.Item", "Attachment.SaveAsFile"}},
    };
    for (const Case& each : cases) {
        PictureProfile picture(Json::array({pictureContact("Ada", each.attachments)}));
        picture.profile["faults"] = each.faults;
        const RunResult result = run(picture.profile);
        EXPECT_EQ(result.out, recordWithImage(each.picture, "Ada") + "\r\ncontatti trovati: 1 / 1\r\n") << each.what;
        EXPECT_EQ(result.err, "") << each.what;
        std::vector<std::string> calls;
        for (const std::string& line : result.journal) {
            if (line.rfind("Attachment", 0) == 0 && line != "Attachments.Count") calls.push_back(line);
        }
        EXPECT_EQ(calls, each.calls) << each.what;
        expectEndedInOrder(result);
    }
}

TEST(ContactPicture, TheFirstAttachmentThatCannotBeHadAgainEndsTheWalk) {
    PictureProfile picture(
        Json::array({pictureContact("Ada", Json::array({named(otherBytes, "a.pdf"), named(jpegLike, "b.jpg")}))}));
    picture.profile["faults"] =
        Json::array({fault("Attachments.Item", "0x80004005", 1), fault("Attachments.Item", "0x80004005", 3)});
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"image\":");
    EXPECT_EQ(result.err, "");
    expectEndedInOrder(result);
}

TEST(ContactPicture, AnEmptyAttachmentGivesAnEmptyImage) {
    PictureProfile picture(Json::array({pictureContact("", Json::array({attachment("")}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"image\":\"\",\"emailaddrs\":[],\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    expectEndedInOrder(result);
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
    expectEndedInOrder(result);
}

TEST(ContactPicture, ATemporaryDirectoryOutsideAsciiServesSaveAndReadBack) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({attachment(jpegLike)}))}),
                           "J\u00F6rg \u65E5\u672C");
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out.substr(0, 10 + base64(jpegLike).size()), "{\"image\":\"" + base64(jpegLike));
    EXPECT_EQ(picture.pictureFile(), jpegLike);
    expectEndedInOrder(result);
}

TEST(ContactPicture, AMissingAttachmentCollectionEndsTheExportWithAMessage) {
    PictureProfile picture(Json::array(
        {pictureContact("Second", Json::array({attachment(jpegLike)})), pictureContact("First", Json::array())}));
    picture.profile["faults"] = Json::array({nullResult("_ContactItem.Attachments", 2)});
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.err, "Unabel to get Attachments.");
    EXPECT_EQ(result.out, "{\"displayname\":\"First\",\"emailaddrs\":[],\"phones\":[]}\r\n{");
    expectEndedInOrder(result);
}

TEST(ContactPicture, AFailedSaveLeavesTheOutputEndingInTheImageKey) {
    for (const std::string operation : {"Attachment.SaveAsFile", "Attachments.Item"}) {
        PictureProfile picture(Json::array({pictureContact("Ada", Json::array({attachment(jpegLike)}))}));
        picture.profile["faults"] = Json::array({fault(operation, "0x80030070")});
        const RunResult result = run(picture.profile);
        EXPECT_EQ(result.out, "{\"image\":") << operation;
        EXPECT_EQ(result.err, "");
        expectEndedInOrder(result);
    }
}

TEST(ContactPicture, APictureFileThatCannotBeReadEndsTheWalk) {
    Json held = attachment(jpegLike);
    held["holdOpen"] = true;
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({held}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, "{\"image\":");
    EXPECT_EQ(result.err, "");
    expectEndedInOrder(result);
}
