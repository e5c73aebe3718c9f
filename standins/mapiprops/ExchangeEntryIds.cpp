#include "ExchangeEntryIds.h"

#include "Utf.h"

#include <algorithm>
#include <iterator>

namespace standin::mapiprops {

namespace {

// Flags, the provider UID {C840A7DC-42C0-1A10-B4B9-08002B2FE182} as bytes,
// version 1, type 0 (a recipient).
constexpr unsigned char header[] = {0x00, 0x00, 0x00, 0x00, 0xDC, 0xA7, 0x40, 0xC8, 0xC0, 0x42, 0x10, 0x1A, 0xB4, 0xB9,
                                    0x08, 0x00, 0x2B, 0x2F, 0xE1, 0x82, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

}  // namespace

std::vector<unsigned char> exchangeEntryId(const std::wstring& address) {
    const std::string text = utf16ToUtf8(address);
    std::vector<unsigned char> entryId(std::size(header) + text.size() + 1, 0);
    std::copy(std::begin(header), std::end(header), entryId.begin());
    std::copy(text.begin(), text.end(), entryId.begin() + std::size(header));
    return entryId;
}

std::optional<std::wstring> addressOfExchangeEntryId(const unsigned char* entryId, size_t size) {
    if (entryId == nullptr || size <= std::size(header) || entryId[size - 1] != 0 ||
        !std::equal(std::begin(header), std::end(header), entryId)) {
        return std::nullopt;
    }
    const char* text = reinterpret_cast<const char*>(entryId + std::size(header));
    const size_t length = size - std::size(header) - 1;
    if (std::find(text, text + length, '\0') != text + length) return std::nullopt;
    try {
        return utf8ToUtf16(std::string_view(text, length));
    } catch (const std::runtime_error&) {
        return std::nullopt;  // not UTF-8: no address the stand-in made
    }
}

}  // namespace standin::mapiprops
