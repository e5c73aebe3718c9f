// What Windows and its users read from the executable itself: the machine
// type of each build, its version information and its application manifest.
#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

using namespace e2e;

namespace {

constexpr std::uint32_t resourceTypeVersion = 16;
constexpr std::uint32_t resourceTypeManifest = 24;

// Little-endian reads that fail instead of reading past the end.
struct Bytes {
    const std::string& data;

    std::uint32_t at(std::size_t offset, std::size_t width) const {
        if (offset + width > data.size()) throw std::runtime_error("truncated image");
        std::uint32_t value = 0;
        for (std::size_t index = 0; index < width; ++index) {
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset + index])) << (8 * index);
        }
        return value;
    }
    std::uint32_t u16(std::size_t offset) const { return at(offset, 2); }
    std::uint32_t u32(std::size_t offset) const { return at(offset, 4); }
};

// The parts of a PE image these tests read.
class PeImage {
public:
    explicit PeImage(std::string bytes) : data(std::move(bytes)) {
        const Bytes image{data};
        const std::size_t header = image.u32(0x3C);
        if (image.u32(header) != 0x00004550) throw std::runtime_error("not a PE image");
        machineType = image.u16(header + 4);
        const std::size_t sectionCount = image.u16(header + 6);
        const std::size_t optionalSize = image.u16(header + 20);
        const std::size_t optional = header + 24;
        const bool pe32Plus = image.u16(optional) == 0x20B;
        const std::size_t directories = optional + (pe32Plus ? 112 : 96);
        resourceRva = image.u32(directories + 2 * 8);  // entry 2: the resource table
        for (std::size_t index = 0; index < sectionCount; ++index) {
            const std::size_t section = optional + optionalSize + index * 40;
            sections.push_back({image.u32(section + 12), std::max(image.u32(section + 8), image.u32(section + 16)),
                                image.u32(section + 20)});
        }
    }

    std::uint32_t machine() const { return machineType; }

    // The data of resource `type`/`id` in its first language, or "".
    std::string resource(std::uint32_t type, std::uint32_t id) const {
        if (resourceRva == 0) return "";
        const Bytes image{data};
        const std::size_t root = offsetOf(resourceRva);
        std::size_t entry = 0;
        if (!findEntry(root, type, entry)) return "";
        const std::size_t names = root + (image.u32(entry + 4) & 0x7FFFFFFF);
        if (!findEntry(names, id, entry)) return "";
        const std::size_t languages = root + (image.u32(entry + 4) & 0x7FFFFFFF);
        if (image.u16(languages + 12) + image.u16(languages + 14) == 0) return "";
        const std::size_t dataEntry = root + (image.u32(languages + 16 + 4) & 0x7FFFFFFF);
        const std::size_t offset = offsetOf(image.u32(dataEntry));
        const std::size_t size = image.u32(dataEntry + 4);
        if (offset + size > data.size()) throw std::runtime_error("truncated resource");
        return data.substr(offset, size);
    }

private:
    struct Section {
        std::uint32_t rva;
        std::uint32_t size;
        std::uint32_t fileOffset;
    };

    std::size_t offsetOf(std::uint32_t rva) const {
        for (const Section& section : sections) {
            if (rva >= section.rva && rva < section.rva + section.size) return rva - section.rva + section.fileOffset;
        }
        throw std::runtime_error("address outside every section");
    }

    // A numbered entry of a resource directory.
    bool findEntry(std::size_t directory, std::uint32_t id, std::size_t& entry) const {
        const Bytes image{data};
        const std::size_t named = image.u16(directory + 12);
        const std::size_t numbered = image.u16(directory + 14);
        for (std::size_t index = named; index < named + numbered; ++index) {
            entry = directory + 16 + index * 8;
            if (image.u32(entry) == id) return true;
        }
        return false;
    }

    std::string data;
    std::uint32_t machineType = 0;
    std::uint32_t resourceRva = 0;
    std::vector<Section> sections;
};

struct VersionInfo {
    std::uint32_t fileVersionHigh = 0;
    std::uint32_t fileVersionLow = 0;
    std::map<std::string, std::string> strings;  // ASCII texts of the StringFileInfo tables
};

std::string asciiOf(const std::string& data, std::size_t offset, std::size_t units) {
    const Bytes bytes{data};
    std::string text;
    for (std::size_t index = 0; index < units; ++index) {
        const std::uint32_t unit = bytes.u16(offset + 2 * index);
        if (unit == 0) break;
        text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return text;
}

// One block of the VS_VERSIONINFO tree and its children: length, value
// length, type, key (UTF-16, NUL-terminated), padding, value, padding, children.
void readVersionBlock(const std::string& data, std::size_t start, VersionInfo& info, int depth) {
    const Bytes bytes{data};
    const std::size_t length = bytes.u16(start);
    const std::size_t valueLength = bytes.u16(start + 2);
    const bool textValue = bytes.u16(start + 4) == 1;
    std::size_t position = start + 6;
    const std::string key = asciiOf(data, position, (length - 6) / 2);
    position += 2 * (key.size() + 1);
    position = (position + 3) & ~std::size_t{3};
    if (depth == 0 && valueLength >= 52 && bytes.u32(position) == 0xFEEF04BD) {
        info.fileVersionHigh = bytes.u32(position + 8);
        info.fileVersionLow = bytes.u32(position + 12);
    }
    if (depth == 3) info.strings[key] = asciiOf(data, position, valueLength);
    position += textValue ? 2 * valueLength : valueLength;
    position = (position + 3) & ~std::size_t{3};
    while (position < start + length) {
        const std::size_t childLength = bytes.u16(position);
        if (childLength == 0) break;
        readVersionBlock(data, position, info, depth + 1);
        position = (position + childLength + 3) & ~std::size_t{3};
    }
}

// The version that the CMake project declares.
std::vector<std::uint32_t> projectVersion() {
    const std::string lists = readFile(std::string(REPO_ROOT) + "/CMakeLists.txt");
    std::smatch match;
    if (!std::regex_search(lists, match, std::regex(R"(project\(ContactExporter\s+VERSION\s+(\d+)\.(\d+)\.(\d+))"))) {
        throw std::runtime_error("no project version in CMakeLists.txt");
    }
    return {static_cast<std::uint32_t>(std::stoul(match[1])), static_cast<std::uint32_t>(std::stoul(match[2])),
            static_cast<std::uint32_t>(std::stoul(match[3]))};
}

bool exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

}  // namespace

TEST(ExecutableResources, EachBuildCarriesItsMachineVersionAndManifest) {
    const std::vector<std::uint32_t> version = projectVersion();
    const std::string versionText =
        std::to_string(version[0]) + "." + std::to_string(version[1]) + "." + std::to_string(version[2]);
    const struct {
        const char* folder;
        std::uint32_t machine;
    } builds[] = {{"windows", 0x8664}, {"windows-x86", 0x014C}};
    int checked = 0;
    for (const auto& build : builds) {
        const std::string path = buildRoot() + "/" + build.folder + "/bin/contact-exporter.exe";
        if (!exists(path) && build.machine != 0x8664) continue;  // scripts/build x64 builds no x86
        SCOPED_TRACE(path);
        const PeImage image(readFile(path));
        ++checked;
        EXPECT_EQ(image.machine(), build.machine);

        VersionInfo info;
        const std::string versionResource = image.resource(resourceTypeVersion, 1);
        ASSERT_FALSE(versionResource.empty()) << "no VERSIONINFO resource";
        readVersionBlock(versionResource, 0, info, 0);
        EXPECT_EQ(info.fileVersionHigh, version[0] << 16 | version[1]);
        EXPECT_EQ(info.fileVersionLow, version[2] << 16);
        EXPECT_EQ(info.strings["ProductName"], "contact-exporter");
        EXPECT_EQ(info.strings["ProductVersion"], versionText);
        EXPECT_EQ(info.strings["FileVersion"], versionText);
        EXPECT_EQ(info.strings["OriginalFilename"], "contact-exporter.exe");
        EXPECT_NE(info.strings["LegalCopyright"].find("the contact-exporter authors"), std::string::npos);

        // The manifest Windows reads at process start; without an active
        // code page the records stay in the system's ANSI code page.
        const std::string manifest = image.resource(resourceTypeManifest, 1);
        ASSERT_FALSE(manifest.empty()) << "no application manifest";
        EXPECT_NE(manifest.find(R"(<requestedExecutionLevel level="asInvoker")"), std::string::npos);
        for (const char* windows :
             {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
              "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
            EXPECT_NE(manifest.find(windows), std::string::npos) << windows;
        }
        EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
    }
    EXPECT_GE(checked, 1);
}
