#include "text/TextConversion.h"

#include "platform/com/ComError.h"

#include <climits>
#include <cstring>
#include <stdexcept>

using com::WideString;

namespace text {

namespace {

// The platform's conversions count in int.
int checkedLength(std::size_t count) {
    if (count > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long to convert");
    return static_cast<int>(count);
}

[[noreturn]] void throwConversionError(const char* conversion) {
    com::throwComError(com::lastErrorAsHresult(), conversion);
}

std::string narrowFrom(UINT codePage, const wchar_t* units, std::size_t count) {
    if (count == 0) return {};
    const int unitCount = checkedLength(count);
    const int needed = WideCharToMultiByte(codePage, 0, units, unitCount, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) throwConversionError("WideCharToMultiByte");
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(codePage, 0, units, unitCount, narrow.data(), needed, nullptr, nullptr);
    if (written <= 0) throwConversionError("WideCharToMultiByte");
    narrow.resize(static_cast<std::size_t>(written));
    return narrow;
}

WideString wideFrom(UINT codePage, const char* bytes, std::size_t count) {
    if (count == 0) return WideString::copyOf(L"", 0);
    const int byteCount = checkedLength(count);
    const int needed = MultiByteToWideChar(codePage, 0, bytes, byteCount, nullptr, 0);
    if (needed <= 0) throwConversionError("MultiByteToWideChar");
    WideString wide = WideString::copyOf(nullptr, static_cast<std::size_t>(needed));
    const int written = MultiByteToWideChar(codePage, 0, bytes, byteCount, wide.get(), needed);
    if (written <= 0) throwConversionError("MultiByteToWideChar");
    return wide;
}

}  // namespace

std::string wideToUtf8(const wchar_t* units, std::size_t count) { return narrowFrom(CP_UTF8, units, count); }

WideString ansiToWide(const char* ansi) {
    if (ansi == nullptr) return WideString();
    return wideFrom(CP_ACP, ansi, std::strlen(ansi));
}

std::string wideToAnsi(const WideString& wide) { return narrowFrom(CP_ACP, wide.get(), wide.lengthToFirstNul()); }

}  // namespace text
