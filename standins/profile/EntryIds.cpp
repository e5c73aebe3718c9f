#include "EntryIds.h"

#include <algorithm>
#include <iterator>

namespace standin::profile {

namespace {

constexpr wchar_t hexDigits[] = L"0123456789ABCDEF";

int digitValue(wchar_t digit) {
    if (digit >= L'0' && digit <= L'9') return digit - L'0';
    if (digit >= L'A' && digit <= L'F') return digit - L'A' + 10;
    if (digit >= L'a' && digit <= L'f') return digit - L'a' + 10;
    return -1;
}

// Four zero flag bytes and the stand-in folder's own 16-byte identifier,
// then the position as four bytes, most significant first.
constexpr unsigned char entryIdPrefix[] = {0x00, 0x00, 0x00, 0x00, 0x5C, 0x0A, 0x7E, 0x51, 0x3B, 0x2D,
                                           0x4E, 0x11, 0x9A, 0x6F, 0x00, 0x60, 0x97, 0xC3, 0x0F, 0xD2};
constexpr std::size_t positionBytes = 4;

}  // namespace

std::optional<EntryIdBytes> bytesOfHexText(std::wstring_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    EntryIdBytes bytes;
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const int high = digitValue(text[at]);
        const int low = digitValue(text[at + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<unsigned char>(high * 16 + low));
    }
    return bytes;
}

std::wstring hexTextOf(const EntryIdBytes& bytes) {
    std::wstring text;
    for (unsigned char byte : bytes) {
        text += hexDigits[byte >> 4];
        text += hexDigits[byte & 0x0F];
    }
    return text;
}

const std::wstring defaultStoreId = L"0000000038A1BB1005E5101AA1BB08002B2A56C200000001";

std::wstring defaultEntryId(std::size_t position) {
    EntryIdBytes bytes(std::begin(entryIdPrefix), std::end(entryIdPrefix));
    for (std::size_t shift = positionBytes; shift-- > 0;) {
        bytes.push_back(static_cast<unsigned char>((position >> (shift * 8)) & 0xFF));
    }
    return hexTextOf(bytes);
}

std::optional<std::size_t> positionOfDefaultEntryId(const EntryIdBytes& entryId) {
    if (entryId.size() != std::size(entryIdPrefix) + positionBytes ||
        !std::equal(std::begin(entryIdPrefix), std::end(entryIdPrefix), entryId.begin())) {
        return std::nullopt;
    }
    std::size_t position = 0;
    for (std::size_t at = std::size(entryIdPrefix); at < entryId.size(); ++at) position = (position << 8) | entryId[at];
    return position;
}

}  // namespace standin::profile
