#include "ProfileFile.h"

#include "Environment.h"
#include "ProfileValues.h"
#include "Utf.h"
#include "com/UniqueHandle.h"

#include <windows.h>

#include <algorithm>

namespace standin {

namespace {

std::wstring profilePathFromEnvironment() {
    std::optional<std::wstring> path = environmentVariable(L"OUTLOOK_STANDIN_PROFILE");
    if (!path) throw ProfileError("OUTLOOK_STANDIN_PROFILE is not set");
    return std::move(*path);
}

std::wstring folderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return L".";
    return path.substr(0, separator);
}

bool isAbsolute(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') return true;
    return !path.empty() && (path[0] == L'\\' || path[0] == L'/');
}

}  // namespace

std::vector<unsigned char> readWholeFile(const std::wstring& path) {
    com::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw ProfileError("cannot open " + utf16ToUtf8(path) + " (Win32 error " + std::to_string(GetLastError()) +
                           ")");
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr)) {
            throw ProfileError("cannot read " + utf16ToUtf8(path));
        }
        if (read == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + read);
    }
    return bytes;
}

ProfileFile loadProfileFile() {
    ProfileFile profile;
    profile.path = profilePathFromEnvironment();
    profile.folder = folderOf(profile.path);
    const std::vector<unsigned char> bytes = readWholeFile(profile.path);
    try {
        profile.document = nlohmann::json::parse(bytes.begin(), bytes.end());
    } catch (const nlohmann::json::exception& error) {
        throw ProfileError(utf16ToUtf8(profile.path) + " is not valid JSON: " + error.what());
    }
    if (!profile.document.is_object()) throw ProfileError(utf16ToUtf8(profile.path) + " does not hold a JSON object");
    return profile;
}

std::wstring resolveProfilePath(const std::wstring& folder, const std::wstring& path) {
    std::wstring resolved = isAbsolute(path) ? path : folder + L"\\" + path;
    std::replace(resolved.begin(), resolved.end(), L'/', L'\\');
    return resolved;
}

}  // namespace standin
