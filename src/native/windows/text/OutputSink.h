#pragma once

#include <cstdint>
#include <string_view>

namespace text {

// Where the exporter writes: standard output, whose lines end at endLine,
// and standard error for its messages and diagnostics. The process's own
// streams serve a run (standardStreams()); a test gives one of its own, and
// sees everything the exporter writes.
class OutputSink {
public:
    virtual void write(std::string_view narrow) = 0;
    // A line end, after which what was written reaches the reader.
    virtual void endLine() = 0;
    void writeError(std::string_view narrow);
    // A line of its own on standard error: after a line end when what was
    // written there before ended inside a line (a message has none).
    void writeErrorLine(std::string_view narrow);

    // A number in plain decimal.
    void writeNumber(std::int64_t number);

protected:
    ~OutputSink() = default;
    // Text on standard error, as it is.
    virtual void putError(std::string_view narrow) = 0;

private:
    // Whether the text written to standard error so far ends inside a line.
    bool errorLineOpen = false;
};

}  // namespace text
