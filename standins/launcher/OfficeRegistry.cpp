#include "OfficeRegistry.h"

#include <windows.h>

#include <cwchar>

#include "InstallFolder.h"
#include "LauncherError.h"
#include "Utf.h"

namespace launcher {

namespace {

constexpr const wchar_t* officeKeyPath = L"Software\\Microsoft\\Office";
constexpr REGSAM view = KEY_WOW64_64KEY;

// Owns an open registry key.
class RegistryKey {
public:
    static RegistryKey create(HKEY parent, const std::wstring& path) {
        HKEY key = nullptr;
        const LONG status = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) {
            throw LauncherError("cannot create registry key " + standin::utf16ToUtf8(path) + " (error " +
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

void deleteOfficeKey() {
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft", 0, KEY_ALL_ACCESS | view, &software) !=
        ERROR_SUCCESS) {
        return;
    }
    const LONG status = RegDeleteTreeW(software, L"Office");
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyExW(software, L"Office", view, 0);
    }
    RegCloseKey(software);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        throw LauncherError("cannot delete the Office registry key (error " + std::to_string(status) + ")");
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

}  // namespace

void writeOfficeRegistry(const OfficeRegistry& registry) {
    deleteOfficeKey();
    if (!registry.officeKey) {
        return;
    }
    RegistryKey::create(HKEY_LOCAL_MACHINE, officeKeyPath);
    for (const OfficeVersion& version : registry.versions) {
        writeVersion(version);
        if (version.path && !version.path->empty()) {
            prepareOutlookExe(expanded(*version.path), version.outlookExe);
        }
    }
}

void writeDefaultOfficeRegistry() {
    OfficeVersion version;
    version.name = L"16.0";
    version.path = defaultInstallFolder(version.name);
    writeOfficeRegistry(OfficeRegistry{true, {version}});
}

}  // namespace launcher
