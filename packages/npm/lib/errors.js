'use strict';
// One error type for every way a run can fail; `kind` says which, so that a
// caller can branch without matching message texts.

const Kind = Object.freeze({
    notInstalled: 'not-installed', // Outlook is not installed for this bitness
    mapi: 'mapi', // Outlook's MAPI runtime could not be loaded or started
    unavailable: 'unavailable', // Outlook did not answer the status query ("ko")
    incomplete: 'incomplete', // the export stopped early or its output is not a whole export
    timeLimit: 'time-limit', // the run did not end within the time limit and was ended
    usage: 'usage', // the options are wrong, or there is no executable to run
    failed: 'failed', // the executable could not be started, or ended in another way
});

// The exporter's messages for exit code 1, as its caller contract states them.
const NOT_INSTALLED = 'MS Outlook not found or not properly installed';
const MAPI_MESSAGES = [
    'Cannot load mapi32.dll',
    'Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll',
    'Cannot initialize mapi',
    'Cannot load MAPIAllocateBuffer or MAPIFreeBuffer or MAPILogonEx from mapi32.dll',
];
// The three messages that a build of the wrong bitness gives: the MAPI
// runtime is loaded into the exporter's process, and each bitness reads its
// own view of the registry.
const OTHER_BITNESS_MESSAGES = [NOT_INSTALLED, 'Cannot load mapi32.dll', 'Cannot initialize mapi'];

class ContactExporterError extends Error {
    constructor(kind, message, details = {}) {
        super(message);
        this.name = 'ContactExporterError';
        this.kind = kind;
        this.stderr = details.stderr ?? '';
        this.exitCode = details.exitCode ?? null;
        this.bitness = details.bitness ?? null;
        if (details.recordsRead !== undefined) this.recordsRead = details.recordsRead;
    }
}

// The messages are written without a line end, and diagnostics (when asked
// for) come on lines of their own: match whole lines.
function stderrLines(stderr) {
    return stderr.split(/\r?\n/);
}

function meansOtherBitness(stderr) {
    return stderrLines(stderr).some((line) => OTHER_BITNESS_MESSAGES.includes(line));
}

// The error for a run that ended with exit code 1 or another failing code.
function failedRunError(exitCode, stderr, bitness) {
    const lines = stderrLines(stderr);
    const details = { exitCode, stderr, bitness };
    if (exitCode === 1 && lines.includes(NOT_INSTALLED)) {
        return new ContactExporterError(Kind.notInstalled, NOT_INSTALLED, details);
    }
    const mapiMessage = exitCode === 1 && lines.find((line) => MAPI_MESSAGES.includes(line));
    if (mapiMessage) {
        return new ContactExporterError(Kind.mapi, mapiMessage, details);
    }
    const shown = stderr.trim() ? `: ${stderr.trim()}` : '';
    return new ContactExporterError(Kind.failed, `contact-exporter ended with exit code ${exitCode}${shown}`, details);
}

module.exports = { ContactExporterError, Kind, meansOtherBitness, failedRunError };
