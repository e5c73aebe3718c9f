'use strict';
// The caller's options, checked and completed with their defaults. A wrong
// option is a usage error, reported before anything runs.
const { ContactExporterError, Kind } = require('./errors');
const { ansiCodePage, lineDecoder } = require('./codePage');

const DEFAULT_TIMEOUT_MS = 10 * 60 * 1000;
// The longest delay a timer takes (some 24.8 days): a longer one would end
// the run at once, so a longer limit is held to it.
const LONGEST_TIMEOUT_MS = 2 ** 31 - 1;
const BITNESSES = ['auto', 'x64', 'x86'];
const KNOWN = new Set(['timeout', 'bitness', 'diagnostics', 'encoding', 'commandPrefix']);

function normaliseOptions(options = {}) {
    if (options === null || typeof options !== 'object') usage('options must be an object');
    for (const name of Object.keys(options)) {
        if (!KNOWN.has(name)) usage(`unknown option "${name}"`);
    }
    const { timeout = DEFAULT_TIMEOUT_MS, bitness = 'auto', diagnostics = false, commandPrefix = [] } = options;
    if (typeof timeout !== 'number' || !(timeout > 0)) {
        usage('timeout must be a positive number of milliseconds (Infinity for none)');
    }
    if (!BITNESSES.includes(bitness)) usage(`bitness must be one of ${BITNESSES.join(', ')}`);
    if (typeof diagnostics !== 'boolean') usage('diagnostics must be true or false');
    if (!Array.isArray(commandPrefix) || !commandPrefix.every((part) => typeof part === 'string' && part !== '')) {
        usage('commandPrefix must be an array of non-empty strings');
    }
    const limit = timeout === Infinity ? timeout : Math.min(timeout, LONGEST_TIMEOUT_MS);
    return { timeout: limit, bitness, diagnostics, commandPrefix, ...decoding(options.encoding) };
}

// `encoding` is a Windows code page number (932) or a WHATWG encoding label
// ("shift_jis"); by default the machine's ANSI code page.
function decoding(encoding = ansiCodePage()) {
    const valid = (Number.isInteger(encoding) && encoding > 0) || (typeof encoding === 'string' && encoding !== '');
    if (!valid) usage('encoding must be a code page number or an encoding label');
    const decodeLine = lineDecoder(encoding);
    if (!decodeLine) usage(`this Node.js has no decoder for the encoding ${encoding}`);
    return { encoding, decodeLine };
}

function usage(message) {
    throw new ContactExporterError(Kind.usage, message);
}

module.exports = { normaliseOptions };
