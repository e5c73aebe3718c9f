#pragma once

// Base64 as the tests know it: a bit-at-a-time encoder and decoder written
// independently of the exporter's, to check it and to make test pictures.

#include <stdexcept>
#include <string>

namespace reference {

inline const std::string base64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

template <typename Bytes>
std::string base64(const Bytes& bytes) {
    std::string out;
    unsigned long bits = 0;
    int bitCount = 0;
    for (const auto byte : bytes) {
        bits = (bits << 8) | static_cast<unsigned char>(byte);
        bitCount += 8;
        while (bitCount >= 6) {
            bitCount -= 6;
            out += base64Alphabet[(bits >> bitCount) & 0x3F];
        }
    }
    if (bitCount > 0) out += base64Alphabet[(bits << (6 - bitCount)) & 0x3F];
    while (out.size() % 4 != 0) out += '=';
    return out;
}

inline std::string fromBase64(const std::string& text) {
    std::string bytes;
    unsigned long bits = 0;
    int bitCount = 0;
    for (const char character : text) {
        if (character == '=') break;
        const std::size_t value = base64Alphabet.find(character);
        if (value == std::string::npos) throw std::invalid_argument("not Base64");
        bits = (bits << 6) | static_cast<unsigned long>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes += static_cast<char>((bits >> bitCount) & 0xFF);
        }
    }
    return bytes;
}

}  // namespace reference
