#pragma once

#include "platform/com/ComError.h"
#include "text/OutputSink.h"

#include <string_view>

// What a person needs to know when a run or a walk ends early, on request:
// when the environment variable CONTACT_EXPORTER_DIAGNOSTICS is "1", each
// such event writes one line to standard error (UTF-8, ending in a line
// end), starting "contact-exporter: ". Without the variable nothing is
// written, and the run's output is what it always was.
namespace diagnostics {

bool enabled();

// "contact-exporter: <operation> failed: 0x80004005 (E_FAIL): "<Outlook's
// description>". <hint>", the parts that are known, on `errors`' standard
// error.
void reportFailure(text::OutputSink& errors, const com::ComError& error, std::string_view hint = {}) noexcept;

// "contact-exporter: <event>", for an event that is not a failed call.
void reportEvent(text::OutputSink& errors, std::string_view event) noexcept;

}  // namespace diagnostics
