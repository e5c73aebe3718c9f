#include "ProfileValues.h"

#include "Utf.h"

namespace standin {

std::optional<std::wstring> textValue(const nlohmann::json& value, const std::string& where) {
    if (value.is_null()) return std::nullopt;
    if (value.is_string()) return utf8ToUtf16(value.get_ref<const std::string&>());
    if (value.is_object() && value.size() == 1 && value.contains("utf16") && value["utf16"].is_array()) {
        std::wstring units;
        for (const auto& unit : value["utf16"]) {
            if (!unit.is_number_integer() || unit.get<long long>() < 0 || unit.get<long long>() > 0xFFFF) {
                throw ProfileError(where + ": utf16 units must be integers from 0 to 65535");
            }
            units.push_back(static_cast<wchar_t>(unit.get<long long>()));
        }
        return units;
    }
    throw ProfileError(where + ": expected a string, null or {\"utf16\": [...]}");
}

HRESULT hresultValue(const nlohmann::json& value, const std::string& where) {
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text.size() > 2 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
            text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos) {
            return static_cast<HRESULT>(std::stoul(text.substr(2), nullptr, 16));
        }
    }
    throw ProfileError(where + ": expected an HRESULT such as \"0x80004005\"");
}

bool booleanValue(const nlohmann::json& value, const std::string& where) {
    if (!value.is_boolean()) throw ProfileError(where + ": expected true or false");
    return value.get<bool>();
}

const std::string& stringValue(const nlohmann::json& value, const std::string& where) {
    if (!value.is_string()) throw ProfileError(where + ": expected a string");
    return value.get_ref<const std::string&>();
}

void requireObject(const nlohmann::json& value, const std::string& where) {
    if (!value.is_object()) throw ProfileError(where + ": expected an object");
}

void requireArray(const nlohmann::json& value, const std::string& where) {
    if (!value.is_array()) throw ProfileError(where + ": expected an array");
}

void requireKnownMembers(const nlohmann::json& object, std::initializer_list<const char*> allowed,
                         const std::string& where) {
    requireObject(object, where);
    for (const auto& member : object.items()) {
        const std::string& key = member.key();
        if (key == "comment" || (!key.empty() && key[0] == '_')) continue;
        bool known = false;
        for (const char* name : allowed) known = known || key == name;
        if (!known) throw ProfileError(where + ": unknown member \"" + key + "\"");
    }
}

}  // namespace standin
