#include "connection/OutlookInstallationProbe.h"

#include "CallerContract.h"
#include "connection/ExecutableImage.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

constexpr wchar_t officeKeyPath[] = L"Software\\Microsoft\\Office";
constexpr wchar_t installRootPath[] = L"\\Outlook\\InstallRoot";
constexpr wchar_t outlookExeSuffix[] = L"\\Outlook.exe";  // with its terminator: 26 bytes
constexpr DWORD suffixBytes = sizeof outlookExeSuffix;
constexpr DWORD subkeyNameCapacity = 256;
constexpr DWORD localBufferBytes = 552;

// Where Windows and Click-to-Run installs of Office record OUTLOOK.EXE.
constexpr wchar_t appPathsKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
constexpr wchar_t clickToRunKeyPath[] = L"Software\\Microsoft\\Office\\ClickToRun\\Configuration";
constexpr wchar_t clickToRunOutlookExe[] = L"\\root\\Office16\\OUTLOOK.EXE";

using platform::UniqueRegistryKey;

UniqueRegistryKey openKey(HKEY parent, const wchar_t* path, REGSAM access) noexcept {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(parent, path, 0, access, key.put()) != ERROR_SUCCESS) key.release();
    return key;
}

// Whether the version's install directory holds Outlook.exe. `buffer` holds
// the version's name on entry and serves as the value buffer afterwards.
bool versionHasOutlook(HKEY officeKey, wchar_t* buffer) {
    const std::wstring installRootKeyPath = std::wstring(buffer) + installRootPath;
    const UniqueRegistryKey installRoot = openKey(officeKey, installRootKeyPath.c_str(), KEY_QUERY_VALUE);
    if (!installRoot) return false;

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(installRoot.get(), L"Path", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0 || size > MAXDWORD - suffixBytes) {
        return false;
    }

    // The local buffer when the value and its suffix fit, otherwise a heap
    // buffer of exactly the size needed.
    DWORD capacity = size + suffixBytes;
    std::unique_ptr<wchar_t[]> heap;
    if (capacity > localBufferBytes) {
        heap.reset(new (std::nothrow) wchar_t[(capacity + 1) / 2]);
        if (!heap) return false;
    }
    wchar_t* const value = heap ? heap.get() : buffer;
    if (RegQueryValueExW(installRoot.get(), L"Path", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &capacity) !=
        ERROR_SUCCESS) {
        return false;
    }
    if (!detail::placeOutlookExeSuffix(value, size, capacity)) return false;
    // Outlook of the other bitness would have this process load a MAPI it
    // cannot use, whose stub may then show a dialog that nobody answers.
    return GetFileAttributesW(value) != INVALID_FILE_ATTRIBUTES &&
           executableKind(value) != ExecutableKind::otherMachine;
}

// Whether an Office version under the Office key names an install directory
// that holds Outlook.exe. Every version is looked at.
bool officeVersionHasOutlook() {
    const UniqueRegistryKey officeKey = openKey(HKEY_LOCAL_MACHINE, officeKeyPath, KEY_ENUMERATE_SUB_KEYS);
    if (!officeKey) return false;
    bool outlookFound = false;
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
    return outlookFound;
}

// A text value (REG_SZ, or REG_EXPAND_SZ with its variables expanded) of a
// key in one view of the registry; nothing when it is missing or unreadable.
std::optional<std::wstring> machineText(const detail::RegistryView& view, const wchar_t* keyPath,
                                        const wchar_t* valueName) {
    const UniqueRegistryKey key = openKey(view.root, keyPath, KEY_QUERY_VALUE | view.flags);
    if (!key) return std::nullopt;
    // REG_SZ admits a REG_EXPAND_SZ too, expanded.
    constexpr DWORD textTypes = RRF_RT_REG_SZ;
    // A value that grows between the size query and the read is asked for again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0;
        if (RegGetValueW(key.get(), nullptr, valueName, textTypes, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD capacity = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = RegGetValueW(key.get(), nullptr, valueName, textTypes, nullptr, text.data(), &capacity);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return std::nullopt;
        text.resize(wcsnlen(text.c_str(), capacity / sizeof(wchar_t)));
        return text;
    }
    return std::nullopt;
}

// The default value of OUTLOOK.EXE's App Paths key: the full path of the
// executable, sometimes in quotation marks.
bool appPathsNamesOutlook(const detail::RegistryView& view) {
    std::optional<std::wstring> path = machineText(view, appPathsKeyPath, nullptr);
    if (!path) return false;
    if (path->size() >= 2 && path->front() == L'"' && path->back() == L'"') *path = path->substr(1, path->size() - 2);
    return executableKind(*path) == ExecutableKind::thisMachine;
}

// Click-to-Run's installation folder, under which OUTLOOK.EXE lies at a fixed place.
bool clickToRunHasOutlook(const detail::RegistryView& view) {
    std::optional<std::wstring> folder = machineText(view, clickToRunKeyPath, L"InstallationPath");
    if (!folder || folder->empty()) return false;
    if (folder->back() == L'\\') folder->pop_back();
    return executableKind(*folder + clickToRunOutlookExe) == ExecutableKind::thisMachine;
}

// Where the fallbacks look. Click-to-Run writes its configuration and App
// Paths in the 64-bit view of a 64-bit Windows, also for a 32-bit Office:
// a 32-bit process reads its own view, then that one. (On a 32-bit Windows
// the flag is ignored and the one view is read twice.)
constexpr bool isThirtyTwoBitProcess = sizeof(void*) == 4;
const detail::RegistryView ownView{HKEY_LOCAL_MACHINE, 0};
const detail::RegistryView sixtyFourBitView{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY};

}  // namespace

namespace detail {

bool fallbacksFindOutlook(std::initializer_list<RegistryView> views) {
    for (const RegistryView& view : views) {
        if (appPathsNamesOutlook(view) || clickToRunHasOutlook(view)) return true;
    }
    return false;
}

bool placeOutlookExeSuffix(wchar_t* value, DWORD queriedBytes, DWORD readBytes) noexcept {
    // A value that grew since its size was asked for does not leave room for
    // the suffix: it is taken as unreadable.
    if (readBytes > queriedBytes) return false;
    const DWORD characters = readBytes / sizeof(wchar_t);
    if (characters == 0) return false;
    wchar_t* suffixAt = value + (value[characters - 1] == L'\0' ? characters - 1 : characters);
    std::memcpy(suffixAt, outlookExeSuffix, suffixBytes);
    return true;
}

}  // namespace detail

void probeOutlookInstallation() {
    // Click-to-Run installs virtualise their registration: the Office key's
    // InstallRoot may be missing from the registry an ordinary process
    // sees. Windows' App Paths and Click-to-Run's own configuration then
    // name the executable, which must suit this process's MAPI.
    if (officeVersionHasOutlook()) return;
    const bool fallbackFound = isThirtyTwoBitProcess ? detail::fallbacksFindOutlook({ownView, sixtyFourBitView})
                                                     : detail::fallbacksFindOutlook({ownView});
    if (fallbackFound) return;
    throw std::runtime_error(callerContract::outlookNotInstalled);
}
