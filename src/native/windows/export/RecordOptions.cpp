#include "export/RecordOptions.h"

#include "CallerContract.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace exporting {

namespace {

// The variable's value; empty when it is not set.
std::wstring environmentValue(const wchar_t* name) {
    std::wstring value(64, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

text::RecordEncoding encodingOf(const std::wstring& value) {
    if (value.empty() || value == L"ansi") return text::RecordEncoding::ansi;
    if (value == L"utf-8") return text::RecordEncoding::utf8;
    throw std::runtime_error(callerContract::unknownTextOption);
}

void addFields(const std::wstring& list, RecordOptions& options) {
    if (list.empty()) return;
    for (std::size_t begin = 0;;) {
        const std::size_t comma = list.find(L',', begin);
        const std::wstring name = list.substr(begin, comma == std::wstring::npos ? std::wstring::npos : comma - begin);
        if (name == L"id") {
            options.withId = true;
        } else if (name == L"modified") {
            options.withModified = true;
        } else {
            throw std::runtime_error(callerContract::unknownFieldsOption);
        }
        if (comma == std::wstring::npos) return;
        begin = comma + 1;
    }
}

}  // namespace

RecordOptions recordOptionsFromEnvironment() {
    RecordOptions options;
    options.encoding = encodingOf(environmentValue(L"CONTACT_EXPORTER_TEXT"));
    addFields(environmentValue(L"CONTACT_EXPORTER_FIELDS"), options);
    return options;
}

}  // namespace exporting
