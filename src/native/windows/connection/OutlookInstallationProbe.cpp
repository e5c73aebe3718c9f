#include "connection/OutlookInstallationProbe.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace {

constexpr wchar_t officeKeyPath[] = L"Software\\Microsoft\\Office";
constexpr wchar_t installRootPath[] = L"\\Outlook\\InstallRoot";
constexpr wchar_t outlookExeSuffix[] = L"\\Outlook.exe";  // with its terminator: 26 bytes
constexpr DWORD suffixBytes = sizeof outlookExeSuffix;
constexpr DWORD subkeyNameCapacity = 256;
constexpr DWORD localBufferBytes = 552;

class RegistryKey {
public:
    RegistryKey() noexcept = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (key != nullptr) RegCloseKey(key);
    }
    bool open(HKEY parent, const wchar_t* path, REGSAM access) noexcept {
        return RegOpenKeyExW(parent, path, 0, access, &key) == ERROR_SUCCESS;
    }
    HKEY get() const noexcept { return key; }

private:
    HKEY key = nullptr;
};

// The value buffer: the local one when the value and its suffix fit,
// otherwise a heap buffer of exactly the size needed.
class ValueBuffer {
public:
    ValueBuffer(wchar_t* local, DWORD bytesNeeded) noexcept
        : heap(bytesNeeded > localBufferBytes ? new (std::nothrow) wchar_t[(bytesNeeded + 1) / 2] : nullptr),
          data(bytesNeeded > localBufferBytes ? heap : local) {}
    ValueBuffer(const ValueBuffer&) = delete;
    ValueBuffer& operator=(const ValueBuffer&) = delete;
    ~ValueBuffer() { delete[] heap; }
    wchar_t* get() const noexcept { return data; }

private:
    wchar_t* heap;
    wchar_t* data;
};

// Whether the version's install directory holds Outlook.exe. `buffer` holds
// the version's name on entry and serves as the value buffer afterwards.
bool versionHasOutlook(HKEY officeKey, wchar_t* buffer) {
    const std::wstring installRootKeyPath = std::wstring(buffer) + installRootPath;
    RegistryKey installRoot;
    if (!installRoot.open(officeKey, installRootKeyPath.c_str(), KEY_QUERY_VALUE)) return false;

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(installRoot.get(), L"Path", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0 || size > MAXDWORD - suffixBytes) {
        return false;
    }

    DWORD capacity = size + suffixBytes;
    ValueBuffer value(buffer, capacity);
    if (value.get() == nullptr) return false;
    if (RegQueryValueExW(installRoot.get(), L"Path", nullptr, nullptr, reinterpret_cast<BYTE*>(value.get()),
                         &capacity) != ERROR_SUCCESS) {
        return false;
    }

    const DWORD characters = capacity / sizeof(wchar_t);
    if (characters == 0) return false;
    wchar_t* suffixAt = value.get() + (value.get()[characters - 1] == L'\0' ? characters - 1 : characters);
    std::memcpy(suffixAt, outlookExeSuffix, suffixBytes);

    return GetFileAttributesW(value.get()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void probeOutlookInstallation() {
    RegistryKey officeKey;
    bool outlookFound = false;
    if (officeKey.open(HKEY_LOCAL_MACHINE, officeKeyPath, KEY_ENUMERATE_SUB_KEYS)) {
        wchar_t localBuffer[localBufferBytes / sizeof(wchar_t)];
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = subkeyNameCapacity;
            const LSTATUS status =
                RegEnumKeyExW(officeKey.get(), index, localBuffer, &nameLength, nullptr, nullptr, nullptr, nullptr);
            // A name too long for the buffer skips its version; any other
            // failure means the key cannot be enumerated any further.
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) break;
            if (versionHasOutlook(officeKey.get(), localBuffer)) outlookFound = true;
        }
    }
    if (!outlookFound) throw std::runtime_error("MS Outlook not found or not properly installed");
}
