#include "ReferenceBase64.h"
#include "platform/com/ComError.h"
#include "text/Base64.h"
#include "text/TextConversion.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using text::base64Encode;

namespace {

std::string encode(const std::vector<unsigned char>& bytes) { return base64Encode(bytes.data(), bytes.size()); }

class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& directoryName) {
        wchar_t temporary[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        directory = std::wstring(temporary) + directoryName + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(directory.c_str(), nullptr);
        path = directory + L"\\picture.jpg";
    }
    ~TemporaryFile() {
        DeleteFileW(path.c_str());
        RemoveDirectoryW(directory.c_str());
    }
    void write(const std::vector<unsigned char>& bytes) const {
        std::FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    const wchar_t* widePath() const { return path.c_str(); }

private:
    std::wstring directory;
    std::wstring path;
};

std::vector<unsigned char> patternedBytes(std::size_t count) {
    std::vector<unsigned char> bytes(count);
    for (std::size_t at = 0; at < count; ++at) bytes[at] = static_cast<unsigned char>(at * 7 + 3);
    return bytes;
}

}  // namespace

TEST(Base64, ShortInputsArePadded) {
    EXPECT_EQ(encode({}), "");
    EXPECT_EQ(encode({'M'}), "TQ==");
    EXPECT_EQ(encode({'M', 'a'}), "TWE=");
    EXPECT_EQ(encode({'M', 'a', 'n'}), "TWFu");
    EXPECT_EQ(encode({0xFB, 0xFF}), "+/8=");
}

TEST(Base64, EveryByteValueIsEncoded) {
    std::vector<unsigned char> everyByte(256);
    for (int value = 0; value < 256; ++value) everyByte[value] = static_cast<unsigned char>(value);
    EXPECT_EQ(encode(everyByte), reference::base64(everyByte));
    EXPECT_EQ(encode({0, 0, 0, 0}), "AAAAAA==");
}

TEST(Base64, RandomDataMatchesAnIndependentEncoder) {
    std::mt19937 random(20261208);
    for (std::size_t length = 0; length < 2000; length += 1 + length / 8) {
        std::vector<unsigned char> bytes(length);
        for (auto& value : bytes) value = static_cast<unsigned char>(random());
        ASSERT_EQ(encode(bytes), reference::base64(bytes)) << "length " << length;
    }
}

TEST(Base64, FilesAreEncodedWholeAcrossChunks) {
    const TemporaryFile file(L"base64-\u00E9\u4E2D-");
    const struct {
        std::size_t size;
        std::size_t encodedSize;
        const char* ending;
    } cases[] = {{0, 0, ""}, {1200, 1600, ""}, {1201, 1604, "=="}, {1202, 1604, "="}, {5000, 6668, "="}};
    for (const auto& sample : cases) {
        const std::vector<unsigned char> bytes = patternedBytes(sample.size);
        file.write(bytes);
        const std::string encoded = text::readFileAsBase64(file.widePath());
        EXPECT_EQ(encoded.size(), sample.encodedSize);
        EXPECT_EQ(encoded, reference::base64(bytes));
        const std::string ending(sample.ending);
        EXPECT_EQ(std::count(encoded.begin(), encoded.end(), '='), static_cast<long>(ending.size()));
        EXPECT_EQ(encoded.substr(encoded.size() - ending.size()), ending);
    }
}

TEST(Base64, AFileThatCannotBeOpenedRaisesTheSystemsError) {
    // The system's own error, not one made up for it.
    try {
        text::readFileAsBase64(L"C:\\no such folder\\contactimage.jpg");
        ADD_FAILURE() << "a missing file was read";
    } catch (const com::ComError& error) {
        EXPECT_EQ(error.result(), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    }
}
