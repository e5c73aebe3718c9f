#include "connection/ExecutableImage.h"

#include "platform/com/UniqueHandle.h"

#include <cstddef>

namespace connection {

namespace {

#if defined(_M_X64) || defined(__x86_64__)
constexpr WORD thisMachine = IMAGE_FILE_MACHINE_AMD64;
constexpr WORD thisOptionalHeaderMagic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
#elif defined(_M_IX86) || defined(__i386__)
constexpr WORD thisMachine = IMAGE_FILE_MACHINE_I386;
constexpr WORD thisOptionalHeaderMagic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
#elif defined(_M_ARM64) || defined(__aarch64__)
constexpr WORD thisMachine = IMAGE_FILE_MACHINE_ARM64;
constexpr WORD thisOptionalHeaderMagic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
#else
#error "unknown target machine"
#endif

// The headers of an image start within its first few kilobytes.
constexpr LONG largestHeaderOffset = 4096;

bool readAt(HANDLE file, LONG offset, void* into, DWORD size) {
    LARGE_INTEGER position{};
    position.QuadPart = offset;
    DWORD read = 0;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ReadFile(file, into, size, &read, nullptr) &&
           read == size;
}

// The signature, the file header and the optional header's magic number,
// as they lie in the file.
struct NtHeadersStart {
    DWORD signature;
    IMAGE_FILE_HEADER fileHeader;
    WORD optionalHeaderMagic;
};
constexpr DWORD ntHeadersStartSize = offsetof(NtHeadersStart, optionalHeaderMagic) + sizeof(WORD);
static_assert(ntHeadersStartSize == 26);

}  // namespace

ExecutableKind executableKind(const std::wstring& path) {
    const com::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ExecutableKind::notAnExecutable;

    IMAGE_DOS_HEADER dosHeader{};
    if (!readAt(file.get(), 0, &dosHeader, sizeof dosHeader) || dosHeader.e_magic != IMAGE_DOS_SIGNATURE ||
        dosHeader.e_lfanew < static_cast<LONG>(sizeof dosHeader) || dosHeader.e_lfanew > largestHeaderOffset) {
        return ExecutableKind::notAnExecutable;
    }
    NtHeadersStart headers{};
    if (!readAt(file.get(), dosHeader.e_lfanew, &headers, ntHeadersStartSize)) return ExecutableKind::notAnExecutable;
    const bool executable = headers.signature == IMAGE_NT_SIGNATURE &&
                            (headers.fileHeader.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE) != 0 &&
                            (headers.fileHeader.Characteristics & IMAGE_FILE_DLL) == 0;
    if (!executable) return ExecutableKind::notAnExecutable;
    return headers.fileHeader.Machine == thisMachine && headers.optionalHeaderMagic == thisOptionalHeaderMagic
               ? ExecutableKind::thisMachine
               : ExecutableKind::otherMachine;
}

}  // namespace connection
