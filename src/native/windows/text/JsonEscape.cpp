#include "text/JsonEscape.h"

#include "text/TextConversion.h"

#include <windows.h>

#include <array>

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

std::string escapeForJson(const WideString& value) {
    std::string out;
    appendEscapedForJson(out, wideToAnsi(value));
    return out;
}

}  // namespace text
