#include "text/OutputSink.h"

#include <charconv>

namespace text {

void OutputSink::writeNumber(std::int64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    write(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

}  // namespace text
