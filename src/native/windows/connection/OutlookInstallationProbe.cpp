#include "connection/OutlookInstallationProbe.h"

#include "CallerContract.h"
#include "connection/ExecutableImage.h"
#include "platform/com/UniqueHandle.h"

#include <windows.h>

#include <cwchar>
#include <optional>
#include <stdexcept>
#include <string>

namespace connection {

namespace {

constexpr wchar_t officeKeyPath[] = L"Software\\Microsoft\\Office";
constexpr wchar_t installRootPath[] = L"\\Outlook\\InstallRoot";
constexpr wchar_t outlookExeSuffix[] = L"\\Outlook.exe";
constexpr DWORD subkeyNameCapacity = 256;

// Where Windows and Click-to-Run installs of Office record OUTLOOK.EXE.
constexpr wchar_t appPathsKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
constexpr wchar_t clickToRunKeyPath[] = L"Software\\Microsoft\\Office\\ClickToRun\\Configuration";
constexpr wchar_t clickToRunOutlookExe[] = L"\\root\\Office16\\OUTLOOK.EXE";

using com::UniqueRegistryKey;

UniqueRegistryKey openKey(HKEY parent, const wchar_t* path, REGSAM access) noexcept {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(parent, path, 0, access, key.put()) != ERROR_SUCCESS) key.release();
    return key;
}

// A REG_EXPAND_SZ's text with its environment variables expanded (as it
// stands when they cannot be).
std::wstring expanded(const std::wstring& text) {
    for (;;) {
        const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (needed == 0) return text;
        std::wstring result(needed, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(text.c_str(), result.data(), needed);
        if (written == 0) return text;
        if (written <= needed) {
            result.resize(written - 1);
            return result;
        }
    }
}

// Which text values a reading accepts.
enum class TextTypes { plain, plainOrExpandable };

// The text of a registry value, up to its first NUL: a REG_SZ, and with
// TextTypes::plainOrExpandable a REG_EXPAND_SZ too, its variables expanded.
// A value stored without its terminator is read whole, and an odd last byte
// is no character. Nothing when the value is missing, of another type,
// empty or unreadable.
std::optional<std::wstring> readText(HKEY key, const wchar_t* valueName, TextTypes types) {
    // A value that grows between the size query and the read is asked for again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
        const bool expandable = type == REG_EXPAND_SZ && types == TextTypes::plainOrExpandable;
        if (type != REG_SZ && !expandable) return std::nullopt;

        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD read = bytes;
        const LSTATUS status =
            RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &read);
        if (status == ERROR_MORE_DATA || read > bytes) continue;
        if (status != ERROR_SUCCESS) return std::nullopt;
        text.resize(wcsnlen(text.c_str(), read / sizeof(wchar_t)));
        if (text.empty()) return std::nullopt;
        return expandable ? expanded(text) : text;
    }
    return std::nullopt;
}

// Whether the version's install directory holds Outlook.exe. Outlook of the
// other bitness does not count: this process could not load its MAPI, whose
// stub may then show a dialog that nobody answers. A directory named so, or
// a file that is not an executable, counts.
bool versionHasOutlook(HKEY officeKey, const std::wstring& version) {
    const UniqueRegistryKey installRoot = openKey(officeKey, (version + installRootPath).c_str(), KEY_QUERY_VALUE);
    if (!installRoot) return false;
    const std::optional<std::wstring> folder = readText(installRoot.get(), L"Path", TextTypes::plain);
    if (!folder) return false;
    const std::wstring outlookExe = *folder + outlookExeSuffix;
    return GetFileAttributesW(outlookExe.c_str()) != INVALID_FILE_ATTRIBUTES &&
           executableKind(outlookExe) != ExecutableKind::otherMachine;
}

// Whether an Office version under the Office key names an install directory
// that holds Outlook.exe. Versions come in the registry's order, not by age,
// and the keys of removed versions often stay behind: each is looked at
// until one names an Outlook.
bool officeVersionHasOutlook() {
    const UniqueRegistryKey officeKey = openKey(HKEY_LOCAL_MACHINE, officeKeyPath, KEY_ENUMERATE_SUB_KEYS);
    if (!officeKey) return false;
    wchar_t name[subkeyNameCapacity];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = subkeyNameCapacity;
        const LSTATUS status =
            RegEnumKeyExW(officeKey.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        // A name too long for the buffer skips its version; any other
        // failure means the key cannot be enumerated any further.
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return false;
        if (versionHasOutlook(officeKey.get(), std::wstring(name, nameLength))) return true;
    }
}

// A text value of a key in one view of the registry.
std::optional<std::wstring> machineText(const detail::RegistryView& view, const wchar_t* keyPath,
                                        const wchar_t* valueName) {
    const UniqueRegistryKey key = openKey(view.root, keyPath, KEY_QUERY_VALUE | view.flags);
    if (!key) return std::nullopt;
    return readText(key.get(), valueName, TextTypes::plainOrExpandable);
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
    if (!folder) return false;
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

}  // namespace connection
