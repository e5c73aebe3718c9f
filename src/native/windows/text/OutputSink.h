#pragma once

#include <cstdint>
#include <string_view>

namespace text {

// Where the export writes: standard output, whose lines end at endLine, and
// standard error for its messages. The process's own streams serve the
// export (standardStreams()); a test gives one of its own.
class OutputSink {
public:
    virtual void write(std::string_view narrow) = 0;
    // A line end, after which what was written reaches the reader.
    virtual void endLine() = 0;
    virtual void writeError(std::string_view narrow) = 0;

    // A number in plain decimal.
    void writeNumber(std::int64_t number);

protected:
    ~OutputSink() = default;
};

}  // namespace text
