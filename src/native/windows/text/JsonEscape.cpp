#include "text/JsonEscape.h"

#include "text/TextConversion.h"

#include <windows.h>

#include <array>
#include <cwchar>

using com::WideString;

namespace text {

namespace {

class LeadByteTable {
public:
    LeadByteTable() noexcept {
        CPINFO info{};
        if (!GetCPInfo(CP_ACP, &info)) return;
        for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2) {
            for (unsigned byte = info.LeadByte[range]; byte <= info.LeadByte[range + 1]; ++byte) leads[byte] = true;
        }
    }
    bool isLead(unsigned char byte) const noexcept { return leads[byte]; }

private:
    std::array<bool, 256> leads{};
};

const LeadByteTable& ansiLeadBytes() {
    static const LeadByteTable table;
    return table;
}

void appendControlEscape(std::string& out, unsigned char control) {
    switch (control) {
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: {
        static constexpr char hexDigits[] = "0123456789ABCDEF";
        const char escape[] = {'\\', 'u', '0', '0', hexDigits[control >> 4], hexDigits[control & 0x0F]};
        out.append(escape, sizeof escape);
    }
    }
}

}  // namespace

void appendEscapedForJson(std::string& out, std::string_view ansi) {
    const LeadByteTable& leadBytes = ansiLeadBytes();
    out.reserve(out.size() + ansi.size());
    for (std::size_t at = 0; at < ansi.size(); ++at) {
        const auto byte = static_cast<unsigned char>(ansi[at]);
        if (leadBytes.isLead(byte) && at + 1 < ansi.size()) {
            out.append(ansi.data() + at, 2);
            ++at;
        } else if (byte == '"' || byte == '\\' || byte == '/') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte >= 0x01 && byte <= 0x1F) {
            appendControlEscape(out, byte);
        } else {
            out += static_cast<char>(byte);
        }
    }
}

namespace {

void appendUtf8(std::string& out, char32_t character) {
    if (character < 0x80) {
        out += static_cast<char>(character);
    } else if (character < 0x800) {
        out += static_cast<char>(0xC0 | (character >> 6));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        out += static_cast<char>(0xE0 | (character >> 12));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (character >> 18));
        out += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    }
}

void appendSurrogateEscape(std::string& out, wchar_t unit) {
    static constexpr char hexDigits[] = "0123456789abcdef";
    const unsigned value = static_cast<unsigned>(unit);
    const char escape[] = {'\\',
                           'u',
                           hexDigits[(value >> 12) & 0xF],
                           hexDigits[(value >> 8) & 0xF],
                           hexDigits[(value >> 4) & 0xF],
                           hexDigits[value & 0xF]};
    out.append(escape, sizeof escape);
}

bool isHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::string escapedUtf8(const wchar_t* units, std::size_t count) {
    std::string out;
    out.reserve(count);
    for (std::size_t at = 0; at < count; ++at) {
        const wchar_t unit = units[at];
        if (isHighSurrogate(unit) && at + 1 < count && isLowSurrogate(units[at + 1])) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(units[at + 1]) - 0xDC00));
            ++at;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendSurrogateEscape(out, unit);
        } else if (unit == L'"' || unit == L'\\' || unit == L'/') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit >= 0x01 && unit <= 0x1F) {
            appendControlEscape(out, static_cast<unsigned char>(unit));
        } else {
            appendUtf8(out, static_cast<char32_t>(unit));
        }
    }
    return out;
}

}  // namespace

std::string escapeForJson(const WideString& value, RecordEncoding encoding) {
    if (encoding == RecordEncoding::utf8) return escapedUtf8(value.get(), value.lengthToFirstNul());
    std::string out;
    appendEscapedForJson(out, wideToAnsi(value));
    return out;
}

bool writtenAlike(const WideString& first, const WideString& second, RecordEncoding encoding) {
    if (encoding == RecordEncoding::ansi) return wideToAnsi(first) == wideToAnsi(second);
    const std::size_t length = first.lengthToFirstNul();
    return length == second.lengthToFirstNul() && (length == 0 || std::wmemcmp(first.get(), second.get(), length) == 0);
}

}  // namespace text
