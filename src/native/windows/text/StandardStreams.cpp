#include "text/StandardStreams.h"

#include "platform/com/ComError.h"

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <string>

namespace text {

namespace {

// Standard output's bytes since the last line end, already in text-mode form
// (each LF as CR LF, as the C runtime's text mode writes it). They go out in
// one write at the line end, before anything goes to standard error, when
// they grow large, and when the process ends.
class PendingOutput {
public:
    PendingOutput() { bytes.reserve(flushThreshold); }
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    ~PendingOutput() { flush(); }

    void append(std::string_view narrow) {
        if (failure != ERROR_SUCCESS) return;
        for (std::size_t lineFeed; (lineFeed = narrow.find('\n')) != std::string_view::npos;) {
            bytes.append(narrow.data(), lineFeed);
            bytes.append("\r\n", 2);
            narrow.remove_prefix(lineFeed + 1);
        }
        bytes.append(narrow.data(), narrow.size());
        if (bytes.size() >= flushThreshold) flushOrRaise();
    }

    void flushOrRaise() {
        if (!flush()) com::throwComError(HRESULT_FROM_WIN32(failure), "WriteFile standard output");
    }

    // Whether the bytes went out. After the first failure nothing is written
    // any more.
    bool flush() noexcept {
        const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        std::size_t at = 0;
        while (at < bytes.size() && failure == ERROR_SUCCESS && output != nullptr && output != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 20));
            if (!WriteFile(output, bytes.data() + at, chunk, &written, nullptr) || written == 0) {
                const DWORD error = GetLastError();
                failure = error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
                break;
            }
            at += written;
        }
        bytes.clear();
        return failure == ERROR_SUCCESS;
    }

private:
    static constexpr std::size_t flushThreshold = 1u << 16;
    std::string bytes;
    DWORD failure = ERROR_SUCCESS;
};

PendingOutput& pendingOutput() {
    static PendingOutput output;
    return output;
}

class StandardStreams final : public OutputSink {
public:
    void write(std::string_view narrow) override { pendingOutput().append(narrow); }

    void endLine() override {
        pendingOutput().append("\n");
        pendingOutput().flushOrRaise();
    }

protected:
    void putError(std::string_view narrow) override {
        pendingOutput().flush();
        std::cerr.write(narrow.data(), static_cast<std::streamsize>(narrow.size()));
    }
};

}  // namespace

OutputSink& standardStreams() {
    static StandardStreams streams;
    return streams;
}

}  // namespace text
