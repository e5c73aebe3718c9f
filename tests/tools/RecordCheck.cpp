// record-check [--utf-8] [--fields] PROFILE OUTPUT
//
// Reads an export as a Windows caller would and compares every value with
// the profile's text. A profile whose items are repeated (itemsRepeat) is a
// folder of that many copies, and each record is checked against the item
// it came from. Prints the number of records checked; on the first
// mismatch, prints it and exits with 1.
// - By default every line is decoded from the ANSI code page and parsed as
//   strict JSON; each value must be exactly what the code page makes of the
//   profile's text: the text up to its first NUL, converted to the code page
//   and back.
// - With --utf-8 (an export made with CONTACT_EXPORTER_TEXT=utf-8) every
//   line is strict JSON in UTF-8, read as a caller that keeps texts as
//   UTF-16 reads it, and each value must be the profile's UTF-16 units up to
//   the first NUL, lone surrogates included; the members must come in the
//   exporter's order.
// - With --fields (CONTACT_EXPORTER_FIELDS=id,modified) every record ends in
//   "id", the item's EntryID, and "modified", its LastModificationTime in
//   UTC, worked out here from Windows' own conversion of UTC to local time.

#include "ProfileFile.h"
#include "ProfileValues.h"
#include "Utf.h"
#include "Utf16Json.h"

#include <windows.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using nlohmann::json;

namespace {

struct Mode {
    bool utf8 = false;
    bool fields = false;
};

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::wstring fromCodePage(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    return wide;
}

std::string toAnsi(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size, nullptr, nullptr);
    return ansi;
}

std::u16string toUtf16(const std::wstring& wide) { return std::u16string(wide.begin(), wide.end()); }

std::string printable(const std::u16string& text) {
    std::string out;
    for (const char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F && unit != '\\') {
            out += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            out += escape;
        }
    }
    return out;
}

struct Text {
    std::size_t length = 0;  // as Outlook reports it, NUL units included
    std::wstring beforeNul;  // up to the first NUL
};

Text textOf(const json& contact, const char* member) {
    Text text;
    if (!contact.contains(member)) return text;
    const std::optional<std::wstring> value = standin::textValue(contact[member], member);
    if (!value) return text;
    text.length = value->size();
    text.beforeNul = value->substr(0, value->find(L'\0'));
    return text;
}

// The UTC of a local time, found as the local time's conversion from UTC
// would give it back: Windows' own conversion of UTC, for that year's rules,
// tried at the time zone's two offsets. A time that exists twice is the
// first; one that does not exist, in the hour skipped, is read at the
// daylight offset.
std::string utcOfLocal(const std::string& text) {
    SYSTEMTIME local{};
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(text.c_str(), "%u-%u-%uT%u:%u:%u", &year, &month, &day, &hour, &minute, &second) != 6) {
        throw std::runtime_error("not a local time: " + text);
    }
    local.wYear = static_cast<WORD>(year), local.wMonth = static_cast<WORD>(month), local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour), local.wMinute = static_cast<WORD>(minute),
    local.wSecond = static_cast<WORD>(second);
    TIME_ZONE_INFORMATION zone{};
    if (!GetTimeZoneInformationForYear(local.wYear, nullptr, &zone)) throw std::runtime_error("no time zone");
    FILETIME localTime{};
    SystemTimeToFileTime(&local, &localTime);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const auto shifted = [&](long minutes) {
        const unsigned long long moved =
            ticks(localTime) + static_cast<unsigned long long>(static_cast<long long>(minutes) * 600000000LL);
        FILETIME time{static_cast<DWORD>(moved & 0xFFFFFFFF), static_cast<DWORD>(moved >> 32)};
        SYSTEMTIME utc{};
        FileTimeToSystemTime(&time, &utc);
        return utc;
    };
    const bool hasDaylight = zone.DaylightDate.wMonth != 0;
    const SYSTEMTIME daylight = shifted(zone.Bias + zone.DaylightBias);
    const SYSTEMTIME standard = shifted(zone.Bias + zone.StandardBias);
    const auto givesBack = [&](const SYSTEMTIME& utc) {
        SYSTEMTIME back{};
        SystemTimeToTzSpecificLocalTime(&zone, &utc, &back);
        return back.wYear == local.wYear && back.wMonth == local.wMonth && back.wDay == local.wDay &&
               back.wHour == local.wHour && back.wMinute == local.wMinute && back.wSecond == local.wSecond;
    };
    // The daylight offset is the larger east of UTC: its instant is the earlier.
    SYSTEMTIME utc = standard;
    if (hasDaylight && (givesBack(daylight) || !givesBack(standard))) utc = daylight;
    char written[24];
    std::snprintf(written, sizeof written, "%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                  utc.wMinute, utc.wSecond);
    return written;
}

// One expected member: its name and its text, or an array of texts, or the
// phones' entries.
struct Member {
    enum class Kind { text, texts, phones };
    std::string name;
    Kind kind = Kind::text;
    std::vector<std::wstring> texts;  // one for a text
    std::vector<std::pair<std::string, std::wstring>> phones;

    static Member text(std::string name, std::wstring value) { return {std::move(name), Kind::text, {value}, {}}; }
    static Member list(std::string name) { return {std::move(name), Kind::texts, {}, {}}; }
    static Member phoneList(std::string name) { return {std::move(name), Kind::phones, {}, {}}; }
};

std::vector<Member> expectedRecord(const json& contact, const Mode& mode) {
    std::vector<Member> members;
    if (const Text name = textOf(contact, "FullName"); name.length > 0) {
        members.push_back(Member::text("displayname", name.beforeNul));
    }
    Member addresses = Member::list("emailaddrs");
    for (const char* member : {"Email1Address", "Email2Address", "Email3Address"}) {
        const Text address = textOf(contact, member);
        if (!address.beforeNul.empty()) addresses.texts.push_back(address.beforeNul);
    }
    members.push_back(addresses);
    if (const Text first = textOf(contact, "FirstName"); first.length > 0) {
        members.push_back(Member::text("firstname", first.beforeNul));
    }
    if (const Text last = textOf(contact, "LastName"); last.length > 1) {
        members.push_back(Member::text("surname", last.beforeNul));
    }
    Member phones = Member::phoneList("phones");
    const std::pair<const char*, const char*> phoneTypes[] = {
        {"business", "BusinessTelephoneNumber"},   {"business2", "Business2TelephoneNumber"},
        {"businessFax", "BusinessFaxNumber"},      {"home", "HomeTelephoneNumber"},
        {"home2", "Home2TelephoneNumber"},         {"homeFax", "HomeFaxNumber"},
        {"company", "CompanyMainTelephoneNumber"}, {"other", "OtherTelephoneNumber"},
        {"primary", "PrimaryTelephoneNumber"},     {"mobile", "MobileTelephoneNumber"}};
    for (const auto& [label, member] : phoneTypes) {
        const Text number = textOf(contact, member);
        if (number.length > 0) phones.phones.emplace_back(label, number.beforeNul);
    }
    members.push_back(phones);
    if (mode.fields) {
        members.push_back(Member::text("id", standin::utf8ToUtf16(contact.value("EntryID", ""))));
        members.push_back(Member::text("modified", standin::utf8ToUtf16(utcOfLocal(
                                                       contact.value("LastModificationTime", "2026-01-02T03:04:05")))));
    }
    return members;
}

// The ANSI form: what the code page makes of each text, as JSON.
json ansiForm(const std::vector<Member>& members) {
    const auto converted = [](const std::wstring& text) { return toUtf8(fromCodePage(CP_ACP, toAnsi(text))); };
    json record = json::object();
    for (const Member& member : members) {
        if (member.kind == Member::Kind::phones) {
            json phones = json::array();
            for (const auto& [label, number] : member.phones) {
                phones.push_back({{"type", label}, {"number", converted(number)}});
            }
            record[member.name] = phones;
        } else if (member.kind == Member::Kind::texts) {
            json texts = json::array();
            for (const std::wstring& text : member.texts) texts.push_back(converted(text));
            record[member.name] = texts;
        } else {
            record[member.name] = converted(member.texts.front());
        }
    }
    return record;
}

// What differs between a record read as UTF-16 and the expected members, in
// order; empty when nothing does.
std::string utf8Difference(const utf16json::Value& record, const std::vector<Member>& members) {
    if (record.kind != utf16json::Value::Kind::object) return "not an object";
    if (record.members.size() != members.size()) {
        return std::to_string(record.members.size()) + " members, expected " + std::to_string(members.size());
    }
    for (std::size_t at = 0; at < members.size(); ++at) {
        const auto& [name, value] = record.members[at];
        const Member& expected = members[at];
        if (name != toUtf16(standin::utf8ToUtf16(expected.name))) return "member " + std::to_string(at) + " misplaced";
        std::vector<std::u16string> found;
        std::vector<std::u16string> wanted;
        if (expected.kind == Member::Kind::phones) {
            for (const utf16json::Value& phone : value.items) {
                const utf16json::Value* type = phone.member(u"type");
                const utf16json::Value* number = phone.member(u"number");
                if (type == nullptr || number == nullptr || phone.members.size() != 2) return "a phone is malformed";
                found.push_back(type->text + u"=" + number->text);
            }
            for (const auto& [label, number] : expected.phones) {
                wanted.push_back(toUtf16(standin::utf8ToUtf16(label)) + u"=" + toUtf16(number));
            }
        } else if (expected.kind == Member::Kind::texts) {
            for (const utf16json::Value& item : value.items) found.push_back(item.text);
            for (const std::wstring& text : expected.texts) wanted.push_back(toUtf16(text));
        } else {
            found.push_back(value.text);
            wanted.push_back(toUtf16(expected.texts.front()));
        }
        if (found != wanted) {
            std::string text = expected.name + ": found";
            for (const std::u16string& each : found) text += " \"" + printable(each) + "\"";
            text += ", expected";
            for (const std::u16string& each : wanted) text += " \"" + printable(each) + "\"";
            return text;
        }
    }
    return {};
}

std::string readFile(const wchar_t* path) {
    const std::vector<unsigned char> bytes = standin::readWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

int check(const Mode& mode, const wchar_t* profilePath, const wchar_t* outputPath) {
    const json profile = json::parse(readFile(profilePath));
    const json& items = profile["items"];
    const std::size_t folderSize = items.size() * profile.value("itemsRepeat", std::size_t{1});
    // The walk goes from the folder's last item to its first.
    std::vector<const json*> contacts;
    for (std::size_t position = folderSize; position-- > 0;) {
        const json& item = items[position % items.size()];
        if (item.value("class", "contact") == "contact") contacts.push_back(&item);
    }

    const std::vector<std::string> lines = splitLines(readFile(outputPath));
    const std::string trailer =
        "contatti trovati: " + std::to_string(contacts.size()) + " / " + std::to_string(folderSize);
    if (lines.size() != contacts.size() + 2 || lines[contacts.size()] != trailer || !lines.back().empty()) {
        std::printf("expected %zu records and the trailer \"%s\", found %zu lines\n", contacts.size(), trailer.c_str(),
                    lines.size());
        return 1;
    }
    for (std::size_t at = 0; at < contacts.size(); ++at) {
        const std::vector<Member> expected = expectedRecord(*contacts[at], mode);
        if (mode.utf8) {
            std::string difference;
            try {
                difference = utf8Difference(utf16json::parse(lines[at]), expected);
            } catch (const std::runtime_error& error) {
                difference = std::string("not strict JSON in UTF-8: ") + error.what();
            }
            if (!difference.empty()) {
                std::printf("record %zu differs: %s\n", at + 1, difference.c_str());
                return 1;
            }
            continue;
        }
        json record;
        try {
            record = json::parse(toUtf8(fromCodePage(CP_ACP, lines[at])));
        } catch (const json::parse_error& error) {
            std::printf("record %zu is not JSON: %s\n", at + 1, error.what());
            return 1;
        }
        const json wanted = ansiForm(expected);
        if (record != wanted) {
            std::printf("record %zu differs:\n  found    %s\n  expected %s\n", at + 1,
                        record.dump(-1, ' ', true).c_str(), wanted.dump(-1, ' ', true).c_str());
            return 1;
        }
    }
    if (mode.utf8) {
        std::printf("checked %zu records in UTF-8\n", contacts.size());
    } else {
        std::printf("checked %zu records on code page %u\n", contacts.size(), GetACP());
    }
    return 0;
}

}  // namespace

int wmain(int argumentCount, wchar_t* arguments[]) {
    Mode mode;
    int first = 1;
    for (; first < argumentCount && std::wcsncmp(arguments[first], L"--", 2) == 0; ++first) {
        if (std::wcscmp(arguments[first], L"--utf-8") == 0) {
            mode.utf8 = true;
        } else if (std::wcscmp(arguments[first], L"--fields") == 0) {
            mode.fields = true;
        } else {
            first = argumentCount;
        }
    }
    if (argumentCount - first != 2) {
        std::fputs("usage: record-check [--utf-8] [--fields] PROFILE OUTPUT\n", stderr);
        return 2;
    }
    try {
        return check(mode, arguments[first], arguments[first + 1]);
    } catch (const std::exception& error) {
        std::printf("record-check: %s\n", error.what());
        return 2;
    }
}
