#pragma once

#include "text/OutputSink.h"

#include <string_view>

// The exporter's two output streams. Standard output is written as text mode
// writes it, so a line end goes out as CR LF; it is flushed at every line end
// and otherwise when the process ends. Standard error is unbuffered and
// flushes standard output before each write, so the two stay in order for a
// reader of both.
//
// A reader that has what it needs, or was ended, closes its end of standard
// output. The first write to standard output that fails raises the COM error
// (the system's error code, operation "WriteFile standard output"), so that
// an export stops as it stops on a failed call instead of walking on for
// nobody; whatever is written after that is dropped.
namespace text {

// The process's two streams, the one sink of a run.
OutputSink& standardStreams();

}  // namespace text
