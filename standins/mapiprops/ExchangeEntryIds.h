#pragma once

// The original entry id of an Exchange (EX) address, in the layout of an
// Exchange address book entry id: four flag bytes 0, the Exchange address
// book provider's UID, version 1 and type 0 (four bytes each, little-endian),
// then the X500 address as 8-bit text with its terminator. The stand-in
// writes the address as UTF-8.

#include <optional>
#include <string>
#include <vector>

namespace standin::mapiprops {

std::vector<unsigned char> exchangeEntryId(const std::wstring& address);

// The address an entry id of that layout carries; none for other bytes.
std::optional<std::wstring> addressOfExchangeEntryId(const unsigned char* entryId, size_t size);

}  // namespace standin::mapiprops
