#include "text/OutputSink.h"

#include <charconv>

namespace text {

void OutputSink::writeError(std::string_view narrow) {
    putError(narrow);
    if (!narrow.empty()) errorLineOpen = narrow.back() != '\n';
}

void OutputSink::writeErrorLine(std::string_view narrow) {
    if (errorLineOpen) writeError("\n");
    writeError(narrow);
    writeError("\n");
}

void OutputSink::writeNumber(std::int64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    write(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

}  // namespace text
