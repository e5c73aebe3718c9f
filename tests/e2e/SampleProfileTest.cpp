#include "ExporterRun.h"
#include "ReferenceBase64.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <map>
#include <set>

using namespace e2e;

// The bundled sample exports whole: every record parses, every picture
// decodes back to its file, every Exchange address comes out as SMTP.
TEST(SampleProfile, ExportsEveryContactPictureAndAddress) {
    const std::string samples = std::string(REPO_ROOT) + "/samples";
    Json profile = Json::parse(std::ifstream(samples + "/profile.json"));
    std::map<std::string, std::string> pictureOf;
    for (Json& item : profile["items"]) {
        if (!item.contains("attachments")) continue;
        const std::string file = samples + "/" + item["attachments"][0]["path"].get<std::string>();
        pictureOf[item["FullName"].get<std::string>()] = readFile(file);
        item["attachments"][0]["path"] = windowsPath(file);
    }
    const std::string temporary = makeTestFolder();
    profile["environment"] = {{"TMP", windowsPath(temporary)}};

    const RunResult result = run(profile);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(endedInOrder(result));
    const std::vector<std::string> output = lines(result.out);
    ASSERT_EQ(output.size(), 22u);
    EXPECT_EQ(output[20], "contatti trovati: 20 / 22");
    EXPECT_EQ(output[21], "");

    std::size_t pictures = 0;
    std::set<std::string> smtpAddresses;
    for (const Json& record : records(result)) {
        for (const Json& address : record["emailaddrs"]) smtpAddresses.insert(address.get<std::string>());
        if (!record.contains("image")) continue;
        ++pictures;
        EXPECT_EQ(reference::fromBase64(record["image"].get<std::string>()), pictureOf.at(record["displayname"]));
    }
    EXPECT_EQ(pictures, pictureOf.size());
    EXPECT_EQ(pictures, 4u);
    for (const char* smtp :
         {"marco.bianchi@contoso.example", "hans-juergen.weiss@contoso.example", "federica.gallo@contoso.example"}) {
        EXPECT_EQ(smtpAddresses.count(smtp), 1u) << smtp;
    }
}
