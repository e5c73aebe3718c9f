#pragma once

#include <windows.h>

#include <nlohmann/json.hpp>

#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>

namespace standin {

// A profile that cannot be used as written.
class ProfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Outlook text: a JSON string (its UTF-16 form), null (no text), or
// {"utf16": [unit, ...]} for exact code units. `where` names the member in
// error messages.
std::optional<std::wstring> textValue(const nlohmann::json& value, const std::string& where);

// An HRESULT written as a hexadecimal string such as "0x80004005".
HRESULT hresultValue(const nlohmann::json& value, const std::string& where);

bool booleanValue(const nlohmann::json& value, const std::string& where);
const std::string& stringValue(const nlohmann::json& value, const std::string& where);

// Rejects members other than the allowed ones, so that a misspelt member does
// not silently fall back to its default. Members named "comment" or starting
// with "_" are notes for the reader and always allowed.
void requireKnownMembers(const nlohmann::json& object, std::initializer_list<const char*> allowed,
                         const std::string& where);

void requireObject(const nlohmann::json& value, const std::string& where);
void requireArray(const nlohmann::json& value, const std::string& where);

}  // namespace standin
