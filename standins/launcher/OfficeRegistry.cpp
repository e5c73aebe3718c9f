#include "OfficeRegistry.h"

#include <windows.h>

#include <cwchar>

#include "InstallFolder.h"
#include "LauncherError.h"
#include "Utf.h"

namespace standin::launcher {

namespace {

constexpr const wchar_t* officeKeyPath = L"Software\\Microsoft\\Office";
constexpr const wchar_t* appPathsParentPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const wchar_t* clickToRunKeyPath = L"Software\\Microsoft\\Office\\ClickToRun\\Configuration";
constexpr REGSAM view = KEY_WOW64_64KEY;

// Owns an open registry key.
class RegistryKey {
public:
    static RegistryKey create(HKEY parent, const std::wstring& path) {
        HKEY key = nullptr;
        const LONG status = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) {
            throw LauncherError("cannot create registry key " + utf16ToUtf8(path) + " (error " +
                                std::to_string(status) + ")");
        }
        return RegistryKey(key);
    }

    ~RegistryKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }

    void setValue(const wchar_t* name, DWORD type, const std::vector<BYTE>& bytes) const {
        const LONG status = RegSetValueExW(key_, name, 0, type, bytes.empty() ? nullptr : bytes.data(),
                                           static_cast<DWORD>(bytes.size()));
        if (status != ERROR_SUCCESS) {
            throw LauncherError("cannot set registry value (error " + std::to_string(status) + ")");
        }
    }

private:
    explicit RegistryKey(HKEY key) : key_(key) {}
    HKEY key_;
};

// Deletes the key `name` under `parentPath` with everything in it.
void deleteKey(const wchar_t* parentPath, const wchar_t* name) {
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_ALL_ACCESS | view, &parent) != ERROR_SUCCESS) {
        return;
    }
    const LONG status = RegDeleteTreeW(parent, name);
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyExW(parent, name, view, 0);
    }
    RegCloseKey(parent);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        throw LauncherError("cannot delete the registry key " + utf16ToUtf8(name) + " (error " +
                            std::to_string(status) + ")");
    }
}

std::vector<BYTE> textBytes(const std::wstring& text, bool terminated) {
    const auto* data = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(data, data + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

// The Path value's data: raw bytes if given, a number for REG_DWORD, else text.
std::vector<BYTE> pathBytes(const OfficeVersion& version) {
    if (version.rawBytes) {
        return *version.rawBytes;
    }
    if (version.type == REG_DWORD) {
        const DWORD number = static_cast<DWORD>(std::wcstoul(version.path->c_str(), nullptr, 0));
        const auto* data = reinterpret_cast<const BYTE*>(&number);
        return std::vector<BYTE>(data, data + sizeof number);
    }
    return textBytes(*version.path, version.terminated);
}

std::wstring expanded(const std::wstring& text) {
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (length == 0) {
        return text;
    }
    std::wstring result(length, L'\0');
    ExpandEnvironmentStringsW(text.c_str(), result.data(), length);
    result.resize(length - 1);
    return result;
}

void writeVersion(const OfficeVersion& version) {
    const std::wstring outlookKey = std::wstring(officeKeyPath) + L"\\" + version.name + L"\\Outlook";
    if (!version.installRoot) {
        RegistryKey::create(HKEY_LOCAL_MACHINE, outlookKey);
        return;
    }
    const RegistryKey installRoot = RegistryKey::create(HKEY_LOCAL_MACHINE, outlookKey + L"\\InstallRoot");
    if (version.path || version.rawBytes) {
        installRoot.setValue(L"Path", version.type, pathBytes(version));
    }
}

void writeAppPaths(const AppPaths& appPaths) {
    const std::wstring outlookExe = appPathsOutlookExe();
    std::wstring path = outlookExe;
    if (appPaths.type == REG_EXPAND_SZ) {
        const std::wstring programFiles = L"C:\\Program Files";
        path = L"%ProgramFiles%" + path.substr(programFiles.size());
    }
    if (appPaths.quoted) {
        path = L"\"" + path + L"\"";
    }
    const RegistryKey key =
        RegistryKey::create(HKEY_LOCAL_MACHINE, std::wstring(appPathsParentPath) + L"\\OUTLOOK.EXE");
    key.setValue(nullptr, appPaths.type, textBytes(path, true));
    prepareExecutable(outlookExe, appPaths.outlookExe);
}

void writeClickToRun(const ClickToRun& clickToRun) {
    const std::wstring installationPath = clickToRunInstallationPath();
    const RegistryKey key = RegistryKey::create(HKEY_LOCAL_MACHINE, clickToRunKeyPath);
    key.setValue(L"InstallationPath", REG_SZ, textBytes(installationPath, true));
    key.setValue(L"Platform", REG_SZ, textBytes(clickToRun.platform, true));
    prepareExecutable(installationPath + L"\\root\\Office16\\OUTLOOK.EXE", clickToRun.outlookExe);
}

}  // namespace

void writeOfficeRegistry(const OfficeRegistry& registry) {
    deleteKey(L"Software\\Microsoft", L"Office");
    deleteKey(appPathsParentPath, L"OUTLOOK.EXE");
    if (registry.officeKey) {
        RegistryKey::create(HKEY_LOCAL_MACHINE, officeKeyPath);
        for (const OfficeVersion& version : registry.versions) {
            writeVersion(version);
            if (version.path && !version.path->empty()) {
                prepareOutlookExe(expanded(*version.path), version.outlookExe);
            }
        }
    }
    if (registry.appPaths) {
        writeAppPaths(*registry.appPaths);
    }
    if (registry.clickToRun) {
        writeClickToRun(*registry.clickToRun);
    }
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
