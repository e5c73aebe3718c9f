#include "text/Diagnostics.h"

#include "platform/com/HresultNames.h"
#include "text/TextConversion.h"

#include <windows.h>

#include <string>

namespace diagnostics {

namespace {

constexpr char prefix[] = "contact-exporter: ";

// Outlook's description on one line: its line breaks and other control
// characters become blanks.
std::string oneLine(const std::wstring& description) {
    std::string text = text::wideToUtf8(description.data(), description.size());
    for (char& byte : text) {
        if (static_cast<unsigned char>(byte) < 0x20) byte = ' ';
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

void writeLine(text::OutputSink& errors, const std::string& line) { errors.writeErrorLine(prefix + line); }

std::string failureLine(const com::ComError& error, std::string_view hint) {
    std::string line = (error.operation().empty() ? std::string("a call") : error.operation()) +
                       " failed: " + com::hresultHex(error.result());
    if (const char* name = com::hresultName(error.result())) line += std::string(" (") + name + ")";
    if (const std::string description = oneLine(error.description()); !description.empty()) {
        line += ": \"" + description + "\"";
    }
    line += '.';
    if (!hint.empty()) line += " " + std::string(hint);
    return line;
}

}  // namespace

bool enabled() {
    static const bool requested = [] {
        wchar_t value[4];
        const DWORD length = GetEnvironmentVariableW(L"CONTACT_EXPORTER_DIAGNOSTICS", value, 4);
        return length == 1 && value[0] == L'1';
    }();
    return requested;
}

// A diagnostics line never changes how a run ends: one that cannot be made
// (memory is short, say) is left out.
void reportFailure(text::OutputSink& errors, const com::ComError& error, std::string_view hint) noexcept {
    if (!enabled()) return;
    try {
        writeLine(errors, failureLine(error, hint));
    } catch (...) {
    }
}

void reportEvent(text::OutputSink& errors, std::string_view event) noexcept {
    if (!enabled()) return;
    try {
        writeLine(errors, std::string(event));
    } catch (...) {
    }
}

}  // namespace diagnostics
