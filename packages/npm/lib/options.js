'use strict';
// The caller's options, checked and completed with their defaults. A wrong
// option is a usage error, reported before anything runs.
const { ContactExporterError, Kind } = require('./errors');
const { ansiCodePage, lineDecoder, utf8LineDecoder } = require('./codePage');

const DEFAULT_TIMEOUT_MS = 10 * 60 * 1000;
// The longest delay a timer takes (some 24.8 days): a longer one would end
// the run at once, so a longer limit is held to it.
const LONGEST_TIMEOUT_MS = 2 ** 31 - 1;
const BITNESSES = ['auto', 'x64', 'x86'];
// The exporter's CONTACT_EXPORTER_TEXT values. Callers get strings: the
// lossless form is the default.
const TEXTS = ['utf-8', 'ansi'];
// The exporter's CONTACT_EXPORTER_FIELDS names, in the order it writes them.
const FIELDS = ['id', 'modified'];
const KNOWN = new Set(['timeout', 'bitness', 'diagnostics', 'text', 'fields', 'encoding', 'commandPrefix']);

function normaliseOptions(options = {}) {
    if (options === null || typeof options !== 'object') usage('options must be an object');
    for (const name of Object.keys(options)) {
        if (!KNOWN.has(name)) usage(`unknown option "${name}"`);
    }
    const { timeout = DEFAULT_TIMEOUT_MS, bitness = 'auto', diagnostics = false, commandPrefix = [] } = options;
    const { text = 'utf-8', fields = [] } = options;
    if (typeof timeout !== 'number' || !(timeout > 0)) {
        usage('timeout must be a positive number of milliseconds (Infinity for none)');
    }
    if (!BITNESSES.includes(bitness)) usage(`bitness must be one of ${BITNESSES.join(', ')}`);
    if (typeof diagnostics !== 'boolean') usage('diagnostics must be true or false');
    if (!Array.isArray(commandPrefix) || !commandPrefix.every((part) => typeof part === 'string' && part !== '')) {
        usage('commandPrefix must be an array of non-empty strings');
    }
    if (!TEXTS.includes(text)) usage(`text must be one of ${TEXTS.join(', ')}`);
    if (!Array.isArray(fields) || !fields.every((name) => FIELDS.includes(name))) {
        usage(`fields must be an array of the names ${FIELDS.join(', ')}`);
    }
    const limit = timeout === Infinity ? timeout : Math.min(timeout, LONGEST_TIMEOUT_MS);
    const asked = FIELDS.filter((name) => fields.includes(name));
    const decodeLine = recordDecoder(text, options.encoding);
    return { timeout: limit, bitness, diagnostics, commandPrefix, text, fields: asked, decodeLine };
}

// `encoding` is a Windows code page number (932) or a WHATWG encoding label
// ("shift_jis"), by default the machine's ANSI code page. It is checked
// whatever the text, but decodes the records only in "ansi": in "utf-8"
// they are UTF-8, and the machine's code page is not even looked up.
function recordDecoder(text, encoding) {
    const named = encoding === undefined ? undefined : codePageDecoder(encoding);
    if (text === 'utf-8') return utf8LineDecoder();
    return named ?? codePageDecoder(ansiCodePage());
}

function codePageDecoder(encoding) {
    const valid = (Number.isInteger(encoding) && encoding > 0) || (typeof encoding === 'string' && encoding !== '');
    if (!valid) usage('encoding must be a code page number or an encoding label');
    const decodeLine = lineDecoder(encoding);
    if (!decodeLine) usage(`this Node.js has no decoder for the encoding ${encoding}`);
    return decodeLine;
}

function usage(message) {
    throw new ContactExporterError(Kind.usage, message);
}

module.exports = { normaliseOptions };
