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

namespace {

// A contact with a picture among these attachments, with these faults: the
// attachment it must take, and the calls on its attachments, in order
// (Attachments.Count aside), which must end in saving it.
struct PictureChoice {
    const char* what;
    Json attachments;
    Json faults;
    std::string picture;
    std::vector<std::string> calls;
};

void expectChosen(const PictureChoice& choice) {
    PictureProfile picture(Json::array({pictureContact("Ada", choice.attachments)}));
    picture.profile["faults"] = choice.faults;
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, recordWithImage(choice.picture, "Ada") + "\r\ncontatti trovati: 1 / 1\r\n") << choice.what;
    EXPECT_EQ(result.err, "") << choice.what;
    EXPECT_EQ(picture.pictureFile(), choice.picture) << choice.what;
    std::vector<std::string> calls;
    for (const std::string& line : result.journal) {
        if (line.rfind("Attachment", 0) == 0 && line != "Attachments.Count") calls.push_back(line);
    }
    EXPECT_EQ(calls, choice.calls) << choice.what;
    expectEndedInOrder(result);
}

// An attachment's calls: fetched, and its name read.
const std::vector<std::string> fetchedAndNamed = {"Attachments.Item", "Attachment.FileName"};

std::vector<std::string> callsOf(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> calls;
    for (const std::vector<std::string>& part : parts) calls.insert(calls.end(), part.begin(), part.end());
    calls.push_back("Attachment.SaveAsFile");
    return calls;
}

}  // namespace

// Outlook names the attachment that holds a contact's picture
// "ContactPicture.jpg", and nothing makes it the first attachment. Each name
// is read before the picture is saved.
TEST(ContactPicture, ThePictureIsTheAttachmentNamedAsOutlookNamesIt) {
    const Json none = Json::array();
    const PictureChoice choices[] = {
        {"a document first",
         {named(otherBytes, "Offerta.pdf"), named(jpegLike, "ContactPicture.jpg")},
         none,
         jpegLike,
         callsOf({fetchedAndNamed, fetchedAndNamed})},
        {"the picture first",
         {named(jpegLike, "ContactPicture.jpg"), named(otherBytes, "Offerta.pdf")},
         none,
         jpegLike,
         callsOf({fetchedAndNamed})},
        {"both named so", {attachment(jpegLike), attachment(otherBytes)}, none, jpegLike, callsOf({fetchedAndNamed})},
        {"in other letter case",
         {named(otherBytes, nullptr), named(jpegLike, "CONTACTPICTURE.jpg")},
         none,
         jpegLike,
         callsOf({fetchedAndNamed, fetchedAndNamed})},
        {"none named so",
         {named(otherBytes, "a.pdf"), named(jpegLike, "b.jpg"), named(jpegLike, "")},
         none,
         otherBytes,
         callsOf({fetchedAndNamed, fetchedAndNamed, fetchedAndNamed})},
    };
    for (const PictureChoice& choice : choices) expectChosen(choice);
}

TEST(ContactPicture, TheOnlyAttachmentIsThePictureAndItsNameIsNotRead) {
    PictureProfile picture(Json::array({pictureContact("Ada", Json::array({named(otherBytes, "Offerta.pdf")}))}));
    const RunResult result = run(picture.profile);
    EXPECT_EQ(result.out, recordWithImage(otherBytes, "Ada") + "\r\ncontatti trovati: 1 / 1\r\n");
    EXPECT_FALSE(result.journalHas("Attachment.FileName"));
    expectEndedInOrder(result);
}

// An attachment whose name cannot be read, or that cannot be had at all,
// before the picture is found might be the picture or not: nobody can tell,
// so the walk ends there, naming the attachment, rather than let a document
// pass for the picture under a complete trailer. A name that fails after the
// picture is found is never read.
TEST(ContactPicture, AnAttachmentThatMightBeThePictureEndsTheWalk) {
    const Json pdf = named(otherBytes, "Offerta.pdf");
    const Json photo = named(jpegLike, "ContactPicture.jpg");
    const struct {
        const char* what;
        Json attachments;
        Json faults;
        std::string failure;
    } undecided[] = {
        {"the picture's own name fails",
         {pdf, photo},
         {fault("Attachment.FileName", "0x80004005", 2)},
         "Attachment.FileName of attachment 2 of 2 failed: 0x80004005 (E_FAIL)."},
        {"the first name fails",
         {photo, pdf},
         {fault("Attachment.FileName", "0x80020009", 1)},
         "Attachment.FileName of attachment 1 of 2 failed: 0x80020009 (DISP_E_EXCEPTION)."},
        {"the first attachment cannot be had",
         {pdf, photo},
         {fault("Attachments.Item", "0x80004005", 1)},
         "Attachments.Item of attachment 1 of 2 failed: 0x80004005 (E_FAIL)."},
        {"an attachment comes back without an object",
         {pdf, named(jpegLike, "y.jpg")},
         {nullResult("Attachments.Item", 2)},
         "Attachment.FileName of attachment 2 of 2 failed: 0x80004003 (E_POINTER)."},
    };
    for (const auto& choice : undecided) {
        PictureProfile picture(Json::array({pictureContact("Ada", choice.attachments)}));
        picture.profile["faults"] = choice.faults;
        picture.profile["environment"]["CONTACT_EXPORTER_DIAGNOSTICS"] = "1";
        const RunResult result = run(picture.profile);
        EXPECT_EQ(result.out, "{\"image\":") << choice.what;
        EXPECT_EQ(result.err, "contact-exporter: " + choice.failure + " The export stops here.\r\n") << choice.what;
        EXPECT_FALSE(result.journalHas("Attachment.SaveAsFile")) << choice.what;
        expectEndedInOrder(result);
    }
    expectChosen({"a name after the picture fails",
                  {photo, pdf},
                  {fault("Attachment.FileName", "0x80004005", 2)},
                  jpegLike,
                  callsOf({fetchedAndNamed})});
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
