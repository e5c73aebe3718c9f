#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace launcher {

// One Office version key to write under HKLM\Software\Microsoft\Office.
struct OfficeVersion {
    enum class OutlookExe { File, Directory, None };

    std::wstring name;                 // e.g. "16.0"
    std::optional<std::wstring> path;  // the InstallRoot Path text; none: no Path value
    DWORD type = REG_SZ;               // REG_SZ, REG_EXPAND_SZ or REG_DWORD
    bool terminated = true;            // the stored text includes its terminating NUL
    OutlookExe outlookExe = OutlookExe::File;
    bool installRoot = true;                    // false: no Outlook\InstallRoot key at all
    std::optional<std::vector<BYTE>> rawBytes;  // stored as the Path value instead of the text
};

struct OfficeRegistry {
    bool officeKey = true;
    std::vector<OfficeVersion> versions;
};

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

}  // namespace launcher
