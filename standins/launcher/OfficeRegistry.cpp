#include "OfficeRegistry.h"

#include "InstallFolder.h"
#include "LauncherError.h"
#include "Utf.h"
#include "com/UniqueHandle.h"

#include <windows.h>

#include <cwchar>

namespace standin::launcher {

namespace {

constexpr const wchar_t* officeKeyPath = L"Software\\Microsoft\\Office";
constexpr const wchar_t* appPathsParentPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const wchar_t* clickToRunKeyPath = L"Software\\Microsoft\\Office\\ClickToRun\\Configuration";
constexpr REGSAM view = KEY_WOW64_64KEY;

using com::UniqueRegistryKey;

// Creates the key, or opens it where it is already there.
UniqueRegistryKey createKey(const std::wstring& path) {
    UniqueRegistryKey key;
    const LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        key.release();
        throw LauncherError(statusFailure("cannot create registry key " + utf16ToUtf8(path), status));
    }
    return key;
}

void setValue(const UniqueRegistryKey& key, const wchar_t* name, DWORD type, const std::vector<BYTE>& bytes) {
    const LONG status = RegSetValueExW(key.get(), name, 0, type, bytes.empty() ? nullptr : bytes.data(),
                                       static_cast<DWORD>(bytes.size()));
    if (status != ERROR_SUCCESS) throw LauncherError(statusFailure("cannot set registry value", status));
}

// Deletes the key `name` under `parentPath` with everything in it.
void deleteKey(const wchar_t* parentPath, const wchar_t* name) {
    UniqueRegistryKey parent;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_ALL_ACCESS | view, parent.put()) != ERROR_SUCCESS) {
        parent.release();
        return;
    }
    const LONG status = RegDeleteTreeW(parent.get(), name);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        throw LauncherError(statusFailure("cannot delete the registry key " + utf16ToUtf8(name), status));
    }
    // RegDeleteTreeW empties the key but leaves the key itself.
    RegDeleteKeyExW(parent.get(), name, view, 0);
}

std::vector<BYTE> textBytes(const std::wstring& text, bool terminated) {
    const auto* data = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(data, data + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

// The Path value's data: raw bytes if given, a number for REG_DWORD, else text.
std::vector<BYTE> pathBytes(const OfficeVersion& version) {
    if (version.rawBytes) return *version.rawBytes;
    if (version.type == REG_DWORD) {
        const DWORD number = static_cast<DWORD>(std::wcstoul(version.path->c_str(), nullptr, 0));
        const auto* data = reinterpret_cast<const BYTE*>(&number);
        return std::vector<BYTE>(data, data + sizeof number);
    }
    return textBytes(*version.path, version.terminated);
}

std::wstring expanded(const std::wstring& text) {
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (length == 0) return text;
    std::wstring result(length, L'\0');
    ExpandEnvironmentStringsW(text.c_str(), result.data(), length);
    result.resize(length - 1);
    return result;
}

void writeVersion(const OfficeVersion& version) {
    const std::wstring outlookKey = std::wstring(officeKeyPath) + L"\\" + version.name + L"\\Outlook";
    if (!version.installRoot) {
        createKey(outlookKey);
        return;
    }
    const UniqueRegistryKey installRoot = createKey(outlookKey + L"\\InstallRoot");
    if (version.path || version.rawBytes) setValue(installRoot, L"Path", version.type, pathBytes(version));
}

void writeAppPaths(const AppPaths& appPaths) {
    const std::wstring outlookExe = appPathsOutlookExe();
    std::wstring path = outlookExe;
    if (appPaths.type == REG_EXPAND_SZ) {
        const std::wstring programFiles = L"C:\\Program Files";
        path = L"%ProgramFiles%" + path.substr(programFiles.size());
    }
    if (appPaths.quoted) path = L"\"" + path + L"\"";
    const UniqueRegistryKey key = createKey(std::wstring(appPathsParentPath) + L"\\OUTLOOK.EXE");
    setValue(key, nullptr, appPaths.type, textBytes(path, true));
    prepareExecutable(outlookExe, appPaths.outlookExe);
}

void writeClickToRun(const ClickToRun& clickToRun) {
    const std::wstring installationPath = clickToRunInstallationPath();
    const UniqueRegistryKey key = createKey(clickToRunKeyPath);
    setValue(key, L"InstallationPath", REG_SZ, textBytes(installationPath, true));
    setValue(key, L"Platform", REG_SZ, textBytes(clickToRun.platform, true));
    prepareExecutable(installationPath + L"\\root\\Office16\\OUTLOOK.EXE", clickToRun.outlookExe);
}

}  // namespace

void writeOfficeRegistry(const OfficeRegistry& registry) {
    deleteKey(L"Software\\Microsoft", L"Office");
    deleteKey(appPathsParentPath, L"OUTLOOK.EXE");
    if (registry.officeKey) {
        createKey(officeKeyPath);
        for (const OfficeVersion& version : registry.versions) {
            writeVersion(version);
            if (version.path && !version.path->empty()) prepareOutlookExe(expanded(*version.path), version.outlookExe);
        }
    }
    if (registry.appPaths) writeAppPaths(*registry.appPaths);
    if (registry.clickToRun) writeClickToRun(*registry.clickToRun);
}

void writeDefaultOfficeRegistry() {
    OfficeVersion version;
    version.name = L"16.0";
    version.path = defaultInstallFolder(version.name);
    OfficeRegistry registry;
    registry.versions.push_back(version);
    writeOfficeRegistry(registry);
}

}  // namespace standin::launcher
