#include "text/Base64.h"

#include "platform/com/ComError.h"
#include "platform/com/UniqueHandle.h"

#include <windows.h>

namespace text {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// A whole number of 3-byte groups, so that every full chunk encodes without padding.
constexpr std::size_t chunkSize = 1200;

// Appends the Base64 text of the bytes to `out`.
void appendBase64(std::string& out, const unsigned char* bytes, std::size_t length) {
    const std::size_t start = out.size();
    out.resize(start + (length + 2) / 3 * 4);
    char* next = out.data() + start;
    std::size_t at = 0;
    for (; at + 3 <= length; at += 3) {
        const unsigned group = (bytes[at] << 16) | (bytes[at + 1] << 8) | bytes[at + 2];
        *next++ = alphabet[(group >> 18) & 0x3F];
        *next++ = alphabet[(group >> 12) & 0x3F];
        *next++ = alphabet[(group >> 6) & 0x3F];
        *next++ = alphabet[group & 0x3F];
    }
    const std::size_t remaining = length - at;
    if (remaining > 0) {
        const unsigned group = (bytes[at] << 16) | (remaining == 2 ? bytes[at + 1] << 8 : 0);
        *next++ = alphabet[(group >> 18) & 0x3F];
        *next++ = alphabet[(group >> 12) & 0x3F];
        *next++ = remaining == 2 ? alphabet[(group >> 6) & 0x3F] : '=';
        *next++ = '=';
    }
}

}  // namespace

std::string base64Encode(const unsigned char* bytes, std::size_t length) {
    std::string out;
    appendBase64(out, bytes, length);
    return out;
}

std::string readFileAsBase64(const wchar_t* path) {
    const com::UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) com::throwComError(com::lastErrorAsHresult(), "CreateFile of the picture file");

    std::string encoded;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) < encoded.max_size() / 2) {
        encoded.reserve((static_cast<std::size_t>(size.QuadPart) + 2) / 3 * 4);
    }
    unsigned char chunk[chunkSize];
    for (;;) {
        // Fill the chunk, so that only the file's last piece can end in padding.
        std::size_t filled = 0;
        DWORD read = 0;
        do {
            if (!ReadFile(file.get(), chunk + filled, static_cast<DWORD>(chunkSize - filled), &read, nullptr)) {
                com::throwComError(com::lastErrorAsHresult(), "ReadFile of the picture file");
            }
            filled += read;
        } while (read > 0 && filled < chunkSize);
        appendBase64(encoded, chunk, filled);
        if (filled < chunkSize) return encoded;
    }
}

}  // namespace text
