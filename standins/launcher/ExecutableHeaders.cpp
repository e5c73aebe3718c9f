#include "ExecutableHeaders.h"

#include <cstring>

namespace standin::launcher {

std::vector<BYTE> executableHeaders(WORD machine) {
    const bool is64 = machine != IMAGE_FILE_MACHINE_I386;
    IMAGE_DOS_HEADER dos{};
    dos.e_magic = IMAGE_DOS_SIGNATURE;
    dos.e_lfanew = sizeof dos;
    IMAGE_FILE_HEADER header{};
    header.Machine = machine;
    header.SizeOfOptionalHeader =
        static_cast<WORD>(is64 ? sizeof(IMAGE_OPTIONAL_HEADER64) : sizeof(IMAGE_OPTIONAL_HEADER32));
    header.Characteristics = static_cast<WORD>(IMAGE_FILE_EXECUTABLE_IMAGE |
                                               (is64 ? IMAGE_FILE_LARGE_ADDRESS_AWARE : IMAGE_FILE_32BIT_MACHINE));
    const DWORD signature = IMAGE_NT_SIGNATURE;
    const WORD magic = is64 ? IMAGE_NT_OPTIONAL_HDR64_MAGIC : IMAGE_NT_OPTIONAL_HDR32_MAGIC;

    const size_t headerAt = sizeof dos + sizeof signature;
    const size_t magicAt = headerAt + sizeof header;
    std::vector<BYTE> bytes(magicAt + header.SizeOfOptionalHeader, 0);
    std::memcpy(bytes.data(), &dos, sizeof dos);
    std::memcpy(bytes.data() + sizeof dos, &signature, sizeof signature);
    std::memcpy(bytes.data() + headerAt, &header, sizeof header);
    std::memcpy(bytes.data() + magicAt, &magic, sizeof magic);
    return bytes;
}

}  // namespace standin::launcher
