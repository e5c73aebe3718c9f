// record-check PROFILE OUTPUT
//
// Reads an export as a Windows caller would: every line decoded from the
// ANSI code page, every record parsed as strict JSON. Each value must be
// exactly what the code page makes of the profile's text: the text up to its
// first NUL, converted to the code page and back. A profile whose items are
// repeated (itemsRepeat) is a folder of that many copies, and each record is
// checked against the item it came from. Prints the number of records
// checked; on the first mismatch, prints it and exits with 1.

#include "ProfileFile.h"
#include "ProfileValues.h"

#include <windows.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

using nlohmann::json;

namespace {

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

struct Text {
    std::size_t length = 0;     // as Outlook reports it, NUL units included
    std::size_t beforeNul = 0;  // up to the first NUL
    std::string expected;       // UTF-8 of what a reader decodes
};

Text textOf(const json& contact, const char* member) {
    Text text;
    if (!contact.contains(member)) return text;
    const std::optional<std::wstring> value = standin::textValue(contact[member], member);
    if (!value) return text;
    text.length = value->size();
    const std::wstring cut = value->substr(0, value->find(L'\0'));
    text.beforeNul = cut.size();
    text.expected = toUtf8(fromCodePage(CP_ACP, toAnsi(cut)));
    return text;
}

// Both roads to the e-mail addresses read an address up to its first NUL.
json expectedRecord(const json& contact) {
    json record = json::object();
    if (const Text name = textOf(contact, "FullName"); name.length > 0) record["displayname"] = name.expected;
    json addresses = json::array();
    for (const char* member : {"Email1Address", "Email2Address", "Email3Address"}) {
        const Text address = textOf(contact, member);
        if (address.beforeNul > 0) addresses.push_back(address.expected);
    }
    record["emailaddrs"] = addresses;
    if (const Text first = textOf(contact, "FirstName"); first.length > 0) record["firstname"] = first.expected;
    if (const Text last = textOf(contact, "LastName"); last.length > 1) record["surname"] = last.expected;
    json phones = json::array();
    const std::pair<const char*, const char*> phoneTypes[] = {
        {"business", "BusinessTelephoneNumber"},   {"business2", "Business2TelephoneNumber"},
        {"businessFax", "BusinessFaxNumber"},      {"home", "HomeTelephoneNumber"},
        {"home2", "Home2TelephoneNumber"},         {"homeFax", "HomeFaxNumber"},
        {"company", "CompanyMainTelephoneNumber"}, {"other", "OtherTelephoneNumber"},
        {"primary", "PrimaryTelephoneNumber"},     {"mobile", "MobileTelephoneNumber"}};
    for (const auto& [label, member] : phoneTypes) {
        const Text number = textOf(contact, member);
        if (number.length > 0) phones.push_back({{"type", label}, {"number", number.expected}});
    }
    record["phones"] = phones;
    return record;
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

int check(const wchar_t* profilePath, const wchar_t* outputPath) {
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
        json record;
        try {
            record = json::parse(toUtf8(fromCodePage(CP_ACP, lines[at])));
        } catch (const json::parse_error& error) {
            std::printf("record %zu is not JSON: %s\n", at + 1, error.what());
            return 1;
        }
        const json expected = expectedRecord(*contacts[at]);
        if (record != expected) {
            std::printf("record %zu differs:\n  found    %s\n  expected %s\n", at + 1,
                        record.dump(-1, ' ', true).c_str(), expected.dump(-1, ' ', true).c_str());
            return 1;
        }
    }
    std::printf("checked %zu records on code page %u\n", contacts.size(), GetACP());
    return 0;
}

}  // namespace

int wmain(int argumentCount, wchar_t* arguments[]) {
    if (argumentCount < 3) {
        std::fputs("usage: record-check PROFILE OUTPUT\n", stderr);
        return 2;
    }
    try {
        return check(arguments[1], arguments[2]);
    } catch (const std::exception& error) {
        std::printf("record-check: %s\n", error.what());
        return 2;
    }
}
