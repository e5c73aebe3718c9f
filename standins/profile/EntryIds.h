#pragma once

// The entry ids of the stand-in's store: the text Outlook's object model
// gives (hexadecimal, two digits a byte) and the bytes MAPI takes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin::profile {

using EntryIdBytes = std::vector<unsigned char>;

// The bytes of a hexadecimal text of two digits a byte, either case; none
// for any other text (odd length, other characters).
std::optional<EntryIdBytes> bytesOfHexText(std::wstring_view text);

// The text of bytes in upper-case hexadecimal, as Outlook writes entry ids.
std::wstring hexTextOf(const EntryIdBytes& bytes);

// The store's entry id when the profile gives none: 24 bytes.
extern const std::wstring defaultStoreId;

// An item's entry id when the profile gives none: 24 bytes that end in the
// item's 0-based position in the folder, so that each differs from every
// other item's (repeated items included) and reads back without a search.
std::wstring defaultEntryId(std::size_t position);
std::optional<std::size_t> positionOfDefaultEntryId(const EntryIdBytes& entryId);

}  // namespace standin::profile
