#include "text/Base64.h"

#include "text/TextConversion.h"

#include <cstdio>
#include <memory>

namespace text {

namespace {

const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// A whole number of 3-byte groups, so that every full chunk encodes without padding.
constexpr std::size_t chunkSize = 1200;

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

}  // namespace

std::string base64Encode(const unsigned char* bytes, std::size_t length) {
    std::string out;
    out.reserve((length + 2) / 3 * 4);
    std::size_t at = 0;
    for (; at + 3 <= length; at += 3) {
        const unsigned group = (bytes[at] << 16) | (bytes[at + 1] << 8) | bytes[at + 2];
        out += alphabet[(group >> 18) & 0x3F];
        out += alphabet[(group >> 12) & 0x3F];
        out += alphabet[(group >> 6) & 0x3F];
        out += alphabet[group & 0x3F];
    }
    const std::size_t remaining = length - at;
    if (remaining > 0) {
        const unsigned group = (bytes[at] << 16) | (remaining == 2 ? bytes[at + 1] << 8 : 0);
        out += alphabet[(group >> 18) & 0x3F];
        out += alphabet[(group >> 12) & 0x3F];
        out += remaining == 2 ? alphabet[(group >> 6) & 0x3F] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> readFileAsBase64(const std::string& path) {
    const WideString widePath = utf8ToWide(path);
    std::unique_ptr<std::FILE, FileCloser> file(_wfopen(widePath.get(), L"rb"));
    if (!file) return std::nullopt;

    std::string encoded;
    unsigned char chunk[chunkSize];
    while (!std::feof(file.get())) {
        const std::size_t read = std::fread(chunk, 1, chunkSize, file.get());
        if (std::ferror(file.get())) return std::nullopt;
        if (read > 0) encoded += base64Encode(chunk, read);
    }
    return encoded;
}

}  // namespace text
