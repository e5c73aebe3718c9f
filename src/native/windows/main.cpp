// contact-exporter: writes the contacts of the current user's Outlook
// profile to standard output, one JSON object per line.
//
//   contact-exporter        the export
//   contact-exporter -h...  Outlook's version when the connection is complete, else "ko"
//   contact-exporter other  "ko"

#include "CallerContract.h"
#include "connection/OutlookConnection.h"
#include "export/ContactExport.h"
#include "export/RecordOptions.h"
#include "text/StandardStreams.h"

#include <exception>
#include <memory>

namespace {

enum class RunMode { exportContacts, statusQuery, unrecognised };

// Only the first two UTF-16 units of the first argument count.
RunMode runModeOf(int argumentCount, const wchar_t* const* arguments) {
    if (argumentCount < 2) return RunMode::exportContacts;
    const wchar_t* first = arguments[1];
    if (first[0] == L'-' && first[1] == L'h') return RunMode::statusQuery;
    return RunMode::unrecognised;
}

}  // namespace

int wmain(int argumentCount, wchar_t* arguments[]) {
    const RunMode mode = runModeOf(argumentCount, arguments);
    try {
        // A record option the exporter does not know is refused before
        // Outlook is started.
        const exporting::RecordOptions options = exporting::recordOptionsFromEnvironment();
        const auto outlookConnection = std::make_unique<connection::OutlookConnection>();
        switch (mode) {
        case RunMode::exportContacts:
            exporting::ContactExport(*outlookConnection, options, text::standardStreams()).exportContacts();
            break;
        case RunMode::statusQuery: text::writeOut(std::string(outlookConnection->statusText())); break;
        case RunMode::unrecognised: text::writeOut(callerContract::ko); break;
        }
        return 0;
    } catch (const std::exception& error) {
        // A record option is refused, Outlook is not installed, MAPI cannot
        // be loaded, or memory ran out while the connection was built: the
        // report goes to standard error and the exit code says it. Nothing
        // has been exported.
        text::writeError(error.what());
        if (mode != RunMode::exportContacts) text::writeOut(callerContract::ko);
        return 1;
    }
}
