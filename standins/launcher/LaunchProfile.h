#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace standin::launcher {

// What stands at a place where the registry says OUTLOOK.EXE is: a file
// that is not an executable, a PE executable for x64 (AMD64) or x86 (I386),
// a directory, or nothing.
enum class OutlookExe { File, X64, X86, Directory, None };

// One Office version key to write under HKLM\Software\Microsoft\Office.
struct OfficeVersion {
    std::wstring name;                 // e.g. "16.0"
    std::optional<std::wstring> path;  // the InstallRoot Path text; none: no Path value
    DWORD type = REG_SZ;               // REG_SZ, REG_EXPAND_SZ or REG_DWORD
    bool terminated = true;            // the stored text includes its terminating NUL
    OutlookExe outlookExe = OutlookExe::File;
    bool installRoot = true;                    // false: no Outlook\InstallRoot key at all
    std::optional<std::vector<BYTE>> rawBytes;  // stored as the Path value instead of the text
};

// HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\OUTLOOK.EXE,
// whose default value is the executable's full path (appPathsOutlookExe()).
struct AppPaths {
    OutlookExe outlookExe = OutlookExe::X64;
    bool quoted = false;
    DWORD type = REG_SZ;  // REG_SZ, or REG_EXPAND_SZ with the path given through %ProgramFiles%
};

// HKLM\Software\Microsoft\Office\ClickToRun\Configuration: InstallationPath
// (clickToRunInstallationPath()) and Platform, with OUTLOOK.EXE where
// Click-to-Run puts it, <InstallationPath>\root\Office16\OUTLOOK.EXE.
struct ClickToRun {
    std::wstring platform = L"x64";
    OutlookExe outlookExe = OutlookExe::X64;
};

struct OfficeRegistry {
    bool officeKey = true;
    std::vector<OfficeVersion> versions;
    std::optional<AppPaths> appPaths;
    std::optional<ClickToRun> clickToRun;
};

// Where the App Paths and Click-to-Run places put OUTLOOK.EXE: folders of
// their own, apart from the Office versions' install folders.
std::wstring appPathsOutlookExe();
std::wstring clickToRunInstallationPath();

// What the launcher takes from the profile: the registry to set before the
// run, the variables to add to the exporter's environment, and whether
// Outlook.Application is served by the local server ("server": "local"). A profile that
// is not readable JSON gives neither (the Outlook stand-in reports it); a
// malformed "registry" or "environment" member throws LauncherError.
struct LaunchProfile {
    std::optional<OfficeRegistry> registry;
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment;  // none: remove
    bool localServer = false;
};

LaunchProfile readLaunchProfile();

// The folder a version's Path names when the profile gives no path.
std::wstring defaultInstallFolder(const std::wstring& versionName);

}  // namespace standin::launcher
