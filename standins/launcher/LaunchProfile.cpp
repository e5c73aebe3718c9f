#include "LaunchProfile.h"

#include "LauncherError.h"
#include "ProfileFile.h"
#include "ProfileValues.h"
#include "Utf.h"

#include <algorithm>
#include <initializer_list>

namespace standin::launcher {

using nlohmann::json;

namespace {

bool isAbsoluteOrVariable(const std::wstring& path) {
    return path.empty() || path[0] == L'%' || path[0] == L'\\' || path[0] == L'/' ||
           (path.size() >= 2 && path[1] == L':');
}

// A registry value type by its name, one of `allowed`.
DWORD registryTypeValue(const json& value, const std::string& where, std::initializer_list<DWORD> allowed) {
    static const std::pair<const char*, DWORD> types[] = {
        {"REG_SZ", REG_SZ}, {"REG_EXPAND_SZ", REG_EXPAND_SZ}, {"REG_DWORD", REG_DWORD}};
    const std::string& name = stringValue(value, where);
    std::string expected;
    for (const auto& [typeName, type] : types) {
        if (std::find(allowed.begin(), allowed.end(), type) == allowed.end()) continue;
        if (name == typeName) return type;
        expected += (expected.empty() ? "" : " or ") + std::string(typeName);
    }
    throw ProfileError(where + ": expected " + expected);
}

OutlookExe outlookExeValue(const json& value, const std::string& where) {
    const std::string& kind = stringValue(value, where);
    if (kind == "file") return OutlookExe::File;
    if (kind == "x64") return OutlookExe::X64;
    if (kind == "x86") return OutlookExe::X86;
    if (kind == "directory") return OutlookExe::Directory;
    if (kind == "none") return OutlookExe::None;
    throw ProfileError(where + ": expected \"file\", \"x64\", \"x86\", \"directory\" or \"none\"");
}

AppPaths parseAppPaths(const json& value) {
    const std::string where = "registry.appPaths";
    requireKnownMembers(value, {"outlookExe", "quoted", "type"}, where);
    AppPaths appPaths;
    if (value.contains("outlookExe")) appPaths.outlookExe = outlookExeValue(value["outlookExe"], where + ".outlookExe");
    if (value.contains("quoted")) appPaths.quoted = booleanValue(value["quoted"], where + ".quoted");
    if (value.contains("type")) {
        appPaths.type = registryTypeValue(value["type"], where + ".type", {REG_SZ, REG_EXPAND_SZ});
    }
    return appPaths;
}

ClickToRun parseClickToRun(const json& value) {
    const std::string where = "registry.clickToRun";
    requireKnownMembers(value, {"platform", "outlookExe"}, where);
    ClickToRun clickToRun;
    if (value.contains("platform")) {
        const std::string& platform = stringValue(value["platform"], where + ".platform");
        if (platform != "x64" && platform != "x86") {
            throw ProfileError(where + ".platform: expected \"x64\" or \"x86\"");
        }
        clickToRun.platform = utf8ToUtf16(platform);
    }
    if (value.contains("outlookExe")) {
        clickToRun.outlookExe = outlookExeValue(value["outlookExe"], where + ".outlookExe");
    }
    return clickToRun;
}

OfficeVersion parseVersion(const json& value, const std::wstring& profileFolder, const std::string& where) {
    requireKnownMembers(value, {"name", "path", "type", "terminated", "outlookExe", "installRoot", "rawBytes"}, where);
    OfficeVersion version;
    if (!value.contains("name")) throw ProfileError(where + ": \"name\" is required");
    version.name = utf8ToUtf16(stringValue(value["name"], where + ".name"));
    if (version.name.empty() || version.name.find(L'\\') != std::wstring::npos) {
        throw ProfileError(where + ".name: must be a non-empty key name");
    }
    if (!value.contains("path")) {
        version.path = defaultInstallFolder(version.name);
    } else {
        version.path = textValue(value["path"], where + ".path");
        // Relative paths start at the profile's folder, like every path in the profile.
        if (version.path && !isAbsoluteOrVariable(*version.path)) {
            version.path = resolveProfilePath(profileFolder, *version.path);
        }
    }
    if (value.contains("type")) {
        version.type = registryTypeValue(value["type"], where + ".type", {REG_SZ, REG_EXPAND_SZ, REG_DWORD});
    }
    if (value.contains("terminated")) version.terminated = booleanValue(value["terminated"], where + ".terminated");
    if (value.contains("outlookExe")) version.outlookExe = outlookExeValue(value["outlookExe"], where + ".outlookExe");
    if (value.contains("installRoot")) version.installRoot = booleanValue(value["installRoot"], where + ".installRoot");
    if (value.contains("rawBytes")) {
        requireArray(value["rawBytes"], where + ".rawBytes");
        std::vector<BYTE> bytes;
        for (const auto& byte : value["rawBytes"]) {
            if (!byte.is_number_integer() || byte.get<long long>() < 0 || byte.get<long long>() > 255) {
                throw ProfileError(where + ".rawBytes: bytes must be integers from 0 to 255");
            }
            bytes.push_back(static_cast<BYTE>(byte.get<long long>()));
        }
        version.rawBytes = std::move(bytes);
    }
    return version;
}

OfficeRegistry parseRegistry(const json& value, const std::wstring& profileFolder) {
    requireKnownMembers(value, {"officeKey", "versions", "appPaths", "clickToRun"}, "registry");
    OfficeRegistry registry;
    if (value.contains("officeKey")) registry.officeKey = booleanValue(value["officeKey"], "registry.officeKey");
    if (value.contains("versions")) {
        requireArray(value["versions"], "registry.versions");
        for (size_t index = 0; index < value["versions"].size(); ++index) {
            registry.versions.push_back(parseVersion(value["versions"][index], profileFolder,
                                                     "registry.versions[" + std::to_string(index) + "]"));
        }
    }
    if (value.contains("appPaths")) registry.appPaths = parseAppPaths(value["appPaths"]);
    if (value.contains("clickToRun")) registry.clickToRun = parseClickToRun(value["clickToRun"]);
    return registry;
}

}  // namespace

std::wstring appPathsOutlookExe() { return L"C:\\Program Files\\Microsoft Office (App Paths)\\OUTLOOK.EXE"; }

std::wstring clickToRunInstallationPath() { return L"C:\\Program Files\\Microsoft Office (Click-to-Run)"; }

std::wstring defaultInstallFolder(const std::wstring& versionName) {
    const std::wstring major = versionName.substr(0, versionName.find(L'.'));
    return L"C:\\Program Files\\Microsoft Office\\root\\Office" + major + L"\\";
}

LaunchProfile readLaunchProfile() {
    ProfileFile file;
    try {
        file = loadProfileFile();
    } catch (const ProfileError&) {
        return {};
    }
    LaunchProfile profile;
    try {
        const json& document = file.document;
        if (document.contains("registry")) profile.registry = parseRegistry(document["registry"], file.folder);
        if (document.contains("environment")) {
            requireObject(document["environment"], "environment");
            for (const auto& variable : document["environment"].items()) {
                const std::wstring name = utf8ToUtf16(variable.key());
                const std::string where = "environment." + variable.key();
                if (name.empty() || name.find(L'=') != std::wstring::npos) {
                    throw ProfileError(where + ": not a usable variable name");
                }
                auto value = textValue(variable.value(), where);
                if (value && value->find(L'\0') != std::wstring::npos) {
                    throw ProfileError(where + ": an environment value cannot hold NUL");
                }
                profile.environment.emplace_back(name, std::move(value));
            }
        }
        if (document.contains("server")) {
            const std::string& server = stringValue(document["server"], "server");
            if (server != "inprocess" && server != "local") {
                throw ProfileError("server: expected \"inprocess\" or \"local\"");
            }
            profile.localServer = server == "local";
        }
    } catch (const std::exception& error) {
        throw LauncherError(std::string("profile: ") + error.what());
    }
    return profile;
}

}  // namespace standin::launcher
