#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace standin {

// The profile named by OUTLOOK_STANDIN_PROFILE: where it lives and what it says.
struct ProfileFile {
    std::wstring path;    // as given, a Windows path
    std::wstring folder;  // the folder that relative paths inside it start from
    nlohmann::json document;
};

// Reads and parses the profile. Throws ProfileError (ProfileValues.h) when the
// variable is unset, the file cannot be read, or it is not a JSON object.
ProfileFile loadProfileFile();

// Reads a whole file. Throws ProfileError naming the file on failure.
std::vector<unsigned char> readWholeFile(const std::wstring& path);

// Joins a path from the profile to the profile's folder, unless it is already
// absolute (drive letter, UNC or rooted). Forward slashes become backslashes.
std::wstring resolveProfilePath(const std::wstring& folder, const std::wstring& path);

}  // namespace standin
