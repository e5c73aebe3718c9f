#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace e2e;

namespace {

const std::string version = "16.0.17928.20114";

struct FailureRow {
    Json profile;
    std::string message;
};

const Json oneContact = Json::array({{{"FullName", "Ada"}}});

// The error ends the run in order: the report on standard error, "ko" where
// the mode answers, nothing in export mode, exit code 1, no object leaked.
void expectOrderlyEnd(Json profile, const std::string& message) {
    profile["version"] = version;
    profile["items"] = oneContact;
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"-h"}, {"other"}, {}}) {
        const RunResult result = run(profile, arguments);
        EXPECT_EQ(result.err, message);
        EXPECT_EQ(result.out, arguments.empty() ? "" : "ko");
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(endedInOrder(result));
        EXPECT_FALSE(result.journalHas("MAPIFolder.Items"));
    }
}

}  // namespace

TEST(MapiLoader, OutlookNotInstalledEndsTheRunBeforeMapiIsLoaded) {
    for (const Json& registry : {Json{{"officeKey", false}}, Json{{"versions", Json::array()}},
                                 Json{{"versions", {{{"name", "16.0"}, {"outlookExe", "none"}}}}},
                                 Json{{"versions", {{{"name", "16.0"}, {"installRoot", false}}}}}}) {
        const Json profile = {{"registry", registry}};
        expectOrderlyEnd(profile, "MS Outlook not found or not properly installed");
        const RunResult result = run(profile, {"-h"});
        EXPECT_FALSE(result.journalHas("MAPIInitialize"));
        EXPECT_FALSE(result.journalHas("mapi32 unloaded"));
    }
}

TEST(MapiLoader, TheSecondOfTwoOfficeVersionsMayHoldOutlook) {
    const Json profile = {
        {"version", version},
        {"registry",
         {{"versions",
           {{{"name", "15.0"}, {"outlookExe", "none"}}, {{"name", "16.0"}, {"outlookExe", "directory"}}}}}}};
    const RunResult result = run(profile, {"-h"});
    EXPECT_EQ(result.out, version);
    EXPECT_EQ(result.exitCode, 0);
}

TEST(MapiLoader, AMissingLibraryIsReported) { expectOrderlyEnd({{"mapi32", "none"}}, "Cannot load mapi32.dll"); }

TEST(MapiLoader, MissingInitialiseEntryPointReleasesTheLibrary) {
    expectOrderlyEnd({{"mapi32", "standin-without-MAPIInitialize"}},
                     "Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll");
    const RunResult result = run({{"mapi32", "standin-without-MAPIInitialize"}}, {"-h"});
    EXPECT_FALSE(result.journalHas("MAPIInitialize"));
    EXPECT_TRUE(result.journalHas("mapi32 unloaded"));
}

TEST(MapiLoader, AFailedInitialisationReleasesTheLibrary) {
    expectOrderlyEnd({{"mapiInitialize", "0x80040605"}}, "Cannot initialize mapi");
    const RunResult result = run({{"mapiInitialize", "0x80004005"}}, {"-h"});
    EXPECT_LT(result.indexOf("MAPIInitialize"), result.indexOf("mapi32 unloaded"));
    EXPECT_FALSE(result.journalHas("MAPIUninitialize"));
}

TEST(MapiLoader, AMissingLogonEntryPointUninitialisesThenReleases) {
    expectOrderlyEnd({{"mapi32", "standin-without-MAPILogonEx"}},
                     "Cannot load MAPIAllocateBuffer or MAPIFreeBuffer or MAPILogonEx from mapi32.dll");
    const RunResult result = run({{"mapi32", "standin-without-MAPILogonEx"}}, {"-h"});
    ASSERT_TRUE(result.journalHas("MAPIUninitialize"));
    EXPECT_LT(result.indexOf("MAPIInitialize"), result.indexOf("MAPIUninitialize"));
    EXPECT_LT(result.indexOf("MAPIUninitialize"), result.indexOf("mapi32 unloaded"));
}

TEST(MapiLoader, AWarningFromInitialisationIsSuccess) {
    const RunResult result = run({{"version", version}, {"mapiInitialize", "0x00040000"}}, {"-h"});
    EXPECT_EQ(result.out, version);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
}

TEST(MapiLoader, WinesOwnLibraryIsReportedAsTheTableSays) {
    const RunResult result = run({{"version", version}, {"mapi32", "system"}}, {"-h"});
    if (result.exitCode == 0) {
        EXPECT_EQ(result.out, version);
        EXPECT_EQ(result.err, "");
    } else {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "ko");
        EXPECT_EQ(result.err, "Cannot initialize mapi");
    }
    EXPECT_TRUE(endedInOrder(result));
}

TEST(MapiLoader, ACompleteConnectionEndsMapiThenReleasesEverything) {
    const RunResult result = run({{"version", version}, {"items", oneContact}}, {"-h"});
    EXPECT_EQ(result.out, version);
    EXPECT_EQ(result.exitCode, 0);
    ASSERT_EQ(result.count("MAPIInitialize"), 1u);
    ASSERT_EQ(result.count("MAPIUninitialize"), 1u);
    expectCallsInOrder(result, {"Outlook.Application.create", "_Application.GetNamespace", "_Application.Version",
                                "MAPIInitialize", "MAPIUninitialize", "mapi32 unloaded", "live-objects 0"});
    EXPECT_TRUE(endedInOrder(result));
}

TEST(MapiLoader, TheExecutableImportsNothingFromMapi) {
    const std::string command =
        "x86_64-w64-mingw32-objdump -p '" + buildRoot() + "/windows/bin/contact-exporter.exe' | grep 'DLL Name'";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string imports;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) imports += buffer;
    pclose(pipe);
    EXPECT_NE(imports.find("KERNEL32.dll"), std::string::npos) << imports;
    EXPECT_EQ(imports.find("mapi32"), std::string::npos) << imports;
    EXPECT_EQ(imports.find("MAPI32"), std::string::npos) << imports;
    EXPECT_EQ(imports.find("libstdc++"), std::string::npos) << imports;
    EXPECT_EQ(imports.find("libgcc"), std::string::npos) << imports;
    EXPECT_EQ(imports.find("libwinpthread"), std::string::npos) << imports;
}

// Click-to-Run installs may leave the Office key without an InstallRoot that
// an ordinary process sees. Windows' App Paths and Click-to-Run's own
// configuration then name OUTLOOK.EXE, which must be built for the
// exporter's machine (x64 here) to count.
TEST(MapiLoader, AppPathsOrClickToRunFindOutlookWhenNoVersionDoes) {
    const Json noInstallRoot = {{"name", "16.0"}, {"installRoot", false}};
    const Json places[] = {
        {{"officeKey", false}, {"appPaths", Json::object()}},
        {{"versions", {noInstallRoot}}, {"appPaths", {{"quoted", true}}}},
        {{"versions", {noInstallRoot}}, {"appPaths", {{"type", "REG_EXPAND_SZ"}}}},
        {{"versions", {noInstallRoot}}, {"appPaths", {{"type", "REG_EXPAND_SZ"}, {"quoted", true}}}},
        {{"versions", Json::array()}, {"clickToRun", {{"platform", "x64"}, {"outlookExe", "x64"}}}},
        {{"versions", {noInstallRoot}},
         {"appPaths", {{"outlookExe", "x86"}}},
         {"clickToRun", {{"platform", "x64"}, {"outlookExe", "x64"}}}},
    };
    for (const Json& registry : places) {
        const RunResult result = run({{"version", version}, {"registry", registry}}, {"-h"});
        EXPECT_EQ(result.out, version) << registry.dump();
        EXPECT_EQ(result.err, "") << registry.dump();
        EXPECT_EQ(result.exitCode, 0) << registry.dump();
        EXPECT_TRUE(result.journalHas("MAPIInitialize")) << registry.dump();
    }
}

TEST(MapiLoader, AppPathsOrClickToRunMustNameAnExecutableForThisMachine) {
    const Json versions = {{{"name", "16.0"}, {"outlookExe", "none"}}};
    for (const std::string kind : {"x86", "file", "directory"}) {
        for (const Json& registry :
             {Json{{"versions", versions}, {"appPaths", {{"outlookExe", kind}}}},
              Json{{"officeKey", false}, {"clickToRun", {{"platform", "x86"}, {"outlookExe", kind}}}}}) {
            const RunResult result = run({{"version", version}, {"registry", registry}}, {"-h"});
            EXPECT_EQ(result.err, "MS Outlook not found or not properly installed") << registry.dump();
            EXPECT_EQ(result.out, "ko") << registry.dump();
            EXPECT_EQ(result.exitCode, 1) << registry.dump();
            EXPECT_FALSE(result.journalHas("MAPIInitialize")) << registry.dump();
        }
    }
}

// The Office key may name an Outlook of the other bitness (a 32-bit Office
// beside the x64 exporter): its MAPI could not be loaded here, and the MAPI
// stub might show a dialog that nobody answers, so it does not count. A file
// that is not an executable, or a directory, still counts.
TEST(MapiLoader, AnOfficeVersionsOutlookOfTheOtherBitnessDoesNotCount) {
    expectOrderlyEnd({{"registry", {{"versions", {{{"name", "16.0"}, {"outlookExe", "x86"}}}}}}},
                     "MS Outlook not found or not properly installed");
    for (const std::string kind : {"x64", "file"}) {
        const Json registry = {{"versions", {{{"name", "16.0"}, {"outlookExe", kind}}}}};
        const RunResult result = run({{"version", version}, {"registry", registry}}, {"-h"});
        EXPECT_EQ(result.out, version) << kind;
        EXPECT_EQ(result.exitCode, 0) << kind;
    }
}
