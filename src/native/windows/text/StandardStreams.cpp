#include "text/StandardStreams.h"

#include <iostream>

namespace text {

void writeOut(std::string_view narrow) { std::cout.write(narrow.data(), static_cast<std::streamsize>(narrow.size())); }

void writeOut(std::int64_t number) { std::cout << number; }

void endLine() { std::cout << '\n' << std::flush; }

void writeError(std::string_view narrow) { std::cerr.write(narrow.data(), static_cast<std::streamsize>(narrow.size())); }

}  // namespace text
