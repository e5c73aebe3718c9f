#include "connection/OutlookInstallationProbe.h"

#include "ExecutableHeaders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

// The probe reads HKEY_LOCAL_MACHINE; each test points that root at a key of
// its own (RegOverridePredefKey) and lays out the Office versions there.
namespace {

const std::wstring testRootPath = L"Software\\ContactExporterProbeTests\\" + std::to_wstring(GetCurrentProcessId());

struct PathValue {
    DWORD type;
    std::vector<BYTE> bytes;
};

PathValue stringValue(const std::wstring& text, bool terminated = true, DWORD type = REG_SZ) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return {type, std::vector<BYTE>(first, first + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t))};
}

class InstallationProbe : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, testRootPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &testRoot, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, testRoot), ERROR_SUCCESS);

        wchar_t temporary[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        installRoot = std::wstring(temporary) + L"probe-test-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(installRoot.c_str(), nullptr);
    }

    void TearDown() override {
        for (const HKEY view : views) RegCloseKey(view);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegDeleteTreeW(testRoot, nullptr);
        RegCloseKey(testRoot);
        RegDeleteKeyW(HKEY_CURRENT_USER, testRootPath.c_str());
        for (auto it = created.rbegin(); it != created.rend(); ++it) {
            if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
        }
        RemoveDirectoryW(installRoot.c_str());
    }

    void addOfficeKey() { createKey(L"Software\\Microsoft\\Office"); }

    void addVersion(const std::wstring& name) { createKey(L"Software\\Microsoft\\Office\\" + name); }

    void addVersion(const std::wstring& name, const PathValue& path) {
        const HKEY key = createKey(L"Software\\Microsoft\\Office\\" + name + L"\\Outlook\\InstallRoot");
        ASSERT_EQ(RegSetValueExW(key, L"Path", 0, path.type, path.bytes.data(), static_cast<DWORD>(path.bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // A folder under the test's install root; with `outlook`, it holds Outlook.exe.
    std::wstring installFolder(const std::wstring& name, bool outlook = true, bool outlookIsDirectory = false) {
        const std::wstring folder = installRoot + L"\\" + name;
        makeDirectory(folder);
        if (outlook) {
            const std::wstring exe = folder + L"\\Outlook.exe";
            if (outlookIsDirectory) {
                makeDirectory(exe);
            } else {
                CloseHandle(CreateFileW(exe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
                created.push_back(exe);
            }
        }
        return folder;
    }

    // The headers of a PE executable for `machine`, as the launcher lays
    // them out for a run's OUTLOOK.EXE: what the probe reads of it.
    std::wstring executable(const std::wstring& name, WORD machine) {
        const std::vector<BYTE> headers = standin::launcher::executableHeaders(machine);
        return file(name, std::string(headers.begin(), headers.end()));
    }

    std::wstring file(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = installRoot + L"\\" + name;
        const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(handle);
        created.push_back(path);
        return path;
    }

    // `view`, when given, is the key under the test's root that stands for
    // HKEY_LOCAL_MACHINE in one registry view (see openView).
    void addAppPath(const PathValue& path, const std::wstring& view = {}) {
        setValue(view + L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE", nullptr, path);
    }

    // Click-to-Run's folder, with OUTLOOK.EXE at root\Office16 made by `place`.
    template <typename Place>
    void addClickToRun(const std::wstring& name, Place place, const std::wstring& view = {}) {
        const std::wstring folder = installFolder(name, false);
        makeDirectory(folder + L"\\root");
        makeDirectory(folder + L"\\root\\Office16");
        place(name + L"\\root\\Office16\\OUTLOOK.EXE");
        setValue(view + L"Software\\Microsoft\\Office\\ClickToRun\\Configuration", L"InstallationPath",
                 stringValue(folder));
    }

    // A key under the test's root that stands for one view of the registry.
    HKEY openView(const std::wstring& view) {
        const HKEY key = createKey(view);
        views.push_back(key);
        return key;
    }

    void makeDirectory(const std::wstring& folder) {
        CreateDirectoryW(folder.c_str(), nullptr);
        created.push_back(folder);
    }

    static bool probeSucceeds() {
        try {
            connection::probeOutlookInstallation();
            return true;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "MS Outlook not found or not properly installed");
            return false;
        }
    }

    std::wstring installRoot;

private:
    void setValue(const std::wstring& keyPath, const wchar_t* name, const PathValue& value) {
        const HKEY key = createKey(keyPath);
        EXPECT_EQ(RegSetValueExW(key, name, 0, value.type, value.bytes.data(), static_cast<DWORD>(value.bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    HKEY createKey(const std::wstring& path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(testRoot, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    HKEY testRoot = nullptr;
    std::vector<std::wstring> created;
    std::vector<HKEY> views;
};

}  // namespace

TEST_F(InstallationProbe, FailsWithoutTheOfficeKey) { EXPECT_FALSE(probeSucceeds()); }

TEST_F(InstallationProbe, FailsWhenNoVersionHasAnInstallRoot) {
    addOfficeKey();
    addVersion(L"15.0");
    addVersion(L"16.0");
    EXPECT_FALSE(probeSucceeds());
}

TEST_F(InstallationProbe, FindsOutlookInTheSecondOfTwoVersions) {
    addVersion(L"15.0", stringValue(installFolder(L"missing", false)));
    addVersion(L"16.0", stringValue(installFolder(L"present")));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, FailsWhenTheFolderLacksOutlookExe) {
    addVersion(L"16.0", stringValue(installFolder(L"empty", false)));
    EXPECT_FALSE(probeSucceeds());
}

TEST_F(InstallationProbe, IgnoresPathsThatAreNotPlainStrings) {
    addVersion(L"16.0", stringValue(installFolder(L"expandable"), true, REG_EXPAND_SZ));
    EXPECT_FALSE(probeSucceeds());
}

TEST_F(InstallationProbe, AcceptsAPathStoredWithoutItsTerminator) {
    addVersion(L"16.0", stringValue(installFolder(L"unterminated"), false));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, ATrailingSeparatorGivesADoubledOneThatStillResolves) {
    addVersion(L"16.0", stringValue(installFolder(L"separator") + L"\\"));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, IgnoresAZeroBytePath) {
    addVersion(L"16.0", PathValue{REG_SZ, {}});
    EXPECT_FALSE(probeSucceeds());
}

TEST_F(InstallationProbe, TextAfterATerminatorIsNoPartOfThePath) {
    // The folder itself is not taken for Outlook.exe: the suffix goes after
    // the path's text, not after what follows its terminator.
    PathValue path = stringValue(installFolder(L"cut", false));
    const PathValue rest = stringValue(L"\\more");
    path.bytes.insert(path.bytes.end(), rest.bytes.begin(), rest.bytes.end());
    addVersion(L"16.0", path);
    EXPECT_FALSE(probeSucceeds());
    addVersion(L"15.0", stringValue(installFolder(L"cut-with")));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, IgnoresTheOddLastByteOfAPath) {
    PathValue path = stringValue(installFolder(L"odd"), false);
    path.bytes.push_back('x');
    addVersion(L"16.0", path);
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, ALoneOddByteIsNoPath) {
    addVersion(L"16.0", PathValue{REG_SZ, {'C'}});
    EXPECT_FALSE(probeSucceeds());
}

TEST_F(InstallationProbe, ReadsLongPaths) {
    // Padding with "\." keeps the folder real while the text grows long.
    std::wstring longPath = installFolder(L"long");
    for (int segment = 0; segment < 150; ++segment) longPath += L"\\.";
    ASSERT_GT((longPath.size() + 13) * sizeof(wchar_t), 552u);
    addVersion(L"16.0", stringValue(longPath));
    EXPECT_TRUE(probeSucceeds());
    addVersion(L"17.0", stringValue(installFolder(L"long-without", false) + std::wstring(300, L'\\')));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, ADirectoryNamedOutlookExeCounts) {
    addVersion(L"16.0", stringValue(installFolder(L"directory", true, true)));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, ReadsTheLongestVersionName) {
    addVersion(std::wstring(255, L'a'), stringValue(installFolder(L"longest")));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, AVersionNameTooLongForTheBufferIsSkipped) {
    addVersion(L"16.0", stringValue(installFolder(L"beside-a-long-name")));
    HKEY key = nullptr;
    const std::wstring tooLong = L"Software\\Microsoft\\Office\\" + std::wstring(256, L'b');
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, tooLong.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        GTEST_SKIP() << "the registry refuses names of 256 characters";
    }
    RegCloseKey(key);
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, APathWithTerminatorsToSpareIsReadToItsFirst) {
    // 526 bytes with the terminator, and the same with one byte more.
    const std::wstring folder = installFolder(L"edge");
    std::wstring path = folder + std::wstring(262 - folder.size(), L'\\');
    ASSERT_EQ((path.size() + 1) * sizeof(wchar_t), 526u);
    addVersion(L"16.0", stringValue(path));
    EXPECT_TRUE(probeSucceeds());

    PathValue oneByteMore = stringValue(path);
    oneByteMore.bytes.push_back(0);
    addVersion(L"16.0", oneByteMore);
    EXPECT_TRUE(probeSucceeds());
}

// Click-to-Run installs may leave the Office key without an InstallRoot;
// Windows' App Paths and Click-to-Run's configuration then name the
// executable, which must be one this process's MAPI can serve.
#if defined(_M_X64) || defined(__x86_64__)
constexpr WORD thisMachine = IMAGE_FILE_MACHINE_AMD64;
constexpr WORD otherMachine = IMAGE_FILE_MACHINE_I386;
#else
constexpr WORD thisMachine = IMAGE_FILE_MACHINE_I386;
constexpr WORD otherMachine = IMAGE_FILE_MACHINE_AMD64;
#endif

TEST_F(InstallationProbe, AppPathsNameOutlookWhenNoVersionDoes) {
    addVersion(L"16.0");
    const std::wstring outlookExe = executable(L"OUTLOOK.EXE", thisMachine);
    addAppPath(stringValue(outlookExe));
    EXPECT_TRUE(probeSucceeds());
    addAppPath(stringValue(L"\"" + outlookExe + L"\""));
    EXPECT_TRUE(probeSucceeds());
    addAppPath(stringValue(outlookExe, false));
    EXPECT_TRUE(probeSucceeds());

    SetEnvironmentVariableW(L"CONTACT_EXPORTER_TEST_ROOT", installRoot.c_str());
    addAppPath(stringValue(L"\"%CONTACT_EXPORTER_TEST_ROOT%\\OUTLOOK.EXE\"", true, REG_EXPAND_SZ));
    EXPECT_TRUE(probeSucceeds());
    SetEnvironmentVariableW(L"CONTACT_EXPORTER_TEST_ROOT", nullptr);
}

TEST_F(InstallationProbe, AppPathsWithoutTheOfficeKey) {
    addAppPath(stringValue(executable(L"OUTLOOK.EXE", thisMachine)));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, AppPathsMustNameAnExecutableForThisMachine) {
    addAppPath(stringValue(executable(L"other.exe", otherMachine)));
    EXPECT_FALSE(probeSucceeds());
    addAppPath(stringValue(file(L"text.exe", "MZ not an executable")));
    EXPECT_FALSE(probeSucceeds());
    addAppPath(stringValue(installFolder(L"a-folder", false)));
    EXPECT_FALSE(probeSucceeds());
    addAppPath(stringValue(installRoot + L"\\missing.exe"));
    EXPECT_FALSE(probeSucceeds());
}

TEST_F(InstallationProbe, ClickToRunNamesOutlookUnderItsInstallationPath) {
    addClickToRun(L"c2r", [this](const std::wstring& name) { executable(name, thisMachine); });
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, ClickToRunMustHoldAnExecutableForThisMachine) {
    addClickToRun(L"c2r-other", [this](const std::wstring& name) { executable(name, otherMachine); });
    EXPECT_FALSE(probeSucceeds());
    addClickToRun(L"c2r-file", [this](const std::wstring& name) { file(name, "MZ"); });
    EXPECT_FALSE(probeSucceeds());
    addClickToRun(L"c2r-folder", [this](const std::wstring& name) { makeDirectory(installRoot + L"\\" + name); });
    EXPECT_FALSE(probeSucceeds());
}

TEST_F(InstallationProbe, AnOfficeVersionsOutlookOfTheOtherBitnessDoesNotCount) {
    // Its MAPI could not be loaded into this process, and the MAPI stub
    // might show a dialog that nobody answers.
    const std::wstring folder = installFolder(L"other", false);
    executable(L"other\\Outlook.exe", otherMachine);
    addVersion(L"16.0", stringValue(folder));
    EXPECT_FALSE(probeSucceeds());

    const std::wstring own = installFolder(L"own", false);
    executable(L"own\\Outlook.exe", thisMachine);
    addVersion(L"15.0", stringValue(own));
    EXPECT_TRUE(probeSucceeds());
}

TEST_F(InstallationProbe, TheFallbacksAreReadInEachViewInTurn) {
    // Click-to-Run keeps App Paths and its configuration in the 64-bit view,
    // also for a 32-bit Office: the x86 exporter reads its own view first,
    // then that one.
    const connection::detail::RegistryView own{openView(L"Own"), 0};
    const connection::detail::RegistryView wide{openView(L"SixtyFour"), 0};
    EXPECT_FALSE(connection::detail::fallbacksFindOutlook({own, wide}));

    addAppPath(stringValue(executable(L"OTHER.EXE", otherMachine)), L"Own\\");
    addAppPath(stringValue(executable(L"OUTLOOK.EXE", thisMachine)), L"SixtyFour\\");
    EXPECT_FALSE(connection::detail::fallbacksFindOutlook({own}));
    EXPECT_TRUE(connection::detail::fallbacksFindOutlook({own, wide}));

    const connection::detail::RegistryView clickToRunOnly{openView(L"ClickToRunOnly"), 0};
    addClickToRun(
        L"c2r", [this](const std::wstring& name) { executable(name, thisMachine); }, L"ClickToRunOnly\\");
    EXPECT_TRUE(connection::detail::fallbacksFindOutlook({own, clickToRunOnly}));
    EXPECT_FALSE(connection::detail::fallbacksFindOutlook({own}));
}
