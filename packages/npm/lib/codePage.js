'use strict';
// The exporter writes its records in the system's ANSI code page unless it
// is asked for UTF-8. Windows keeps that code page in the registry; GetACP()
// would give this process's own, which an application manifest may have set
// to UTF-8.
const { execFileSync } = require('node:child_process');
const path = require('node:path');

const CODE_PAGE_KEY = 'HKLM\\SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage';
// Outside Windows (the exporter runs under Wine there) the common Western
// code page is the best guess; callers name another with `encoding`.
const FALLBACK_CODE_PAGE = 1252;

// Code pages whose WHATWG name is not "windows-<number>".
const DECODER_LABELS = new Map([
    [932, 'shift_jis'],
    [936, 'gbk'],
    [949, 'euc-kr'],
    [950, 'big5'],
    [866, 'ibm866'],
    [20866, 'koi8-r'],
    [21866, 'koi8-u'],
    [10000, 'macintosh'],
    [54936, 'gb18030'],
    [65001, 'utf-8'],
]);

// Code page 1252's characters for the bytes 0x80 to 0x9F; the five it leaves
// undefined are the characters of the same value.
const WINDOWS_1252_80_TO_9F =
    '\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F' +
    '\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178';

let systemCodePage;

// The ANSI code page of this machine, read once per process.
function ansiCodePage() {
    if (systemCodePage === undefined) {
        systemCodePage = process.platform === 'win32' ? readRegisteredCodePage() : FALLBACK_CODE_PAGE;
    }
    return systemCodePage;
}

function readRegisteredCodePage() {
    try {
        const reg = path.join(process.env.SystemRoot || 'C:\\Windows', 'System32', 'reg.exe');
        const output = execFileSync(reg, ['query', CODE_PAGE_KEY, '/v', 'ACP'], {
            encoding: 'utf8',
            windowsHide: true,
            stdio: ['ignore', 'pipe', 'ignore'],
        });
        return parseRegQuery(output) ?? FALLBACK_CODE_PAGE;
    } catch {
        return FALLBACK_CODE_PAGE;
    }
}

// reg.exe prints the value as "    ACP    REG_SZ    1252".
function parseRegQuery(output) {
    const match = /^\s*ACP\s+REG_SZ\s+(\d+)\s*$/m.exec(output);
    return match ? Number(match[1]) : undefined;
}

// A decoder for one line of records: a function from bytes to text. Bytes
// that the code page leaves undefined become the character of the same value,
// as Windows' own conversion gives them, rather than U+FFFD.
function lineDecoder(encoding) {
    const label = typeof encoding === 'number' ? DECODER_LABELS.get(encoding) ?? `windows-${encoding}` : encoding;
    let decoder;
    try {
        decoder = new TextDecoder(label);
    } catch {
        return undefined;
    }
    if (decoder.encoding === 'utf-8') {
        // Code page 65001 defines every character, U+FFFD included, and Windows
        // gives U+FFFD for what is not UTF-8, as this decoder does.
        return (bytes) => decoder.decode(bytes);
    }
    if (decoder.encoding === 'windows-1252' && decoder.decode(Uint8Array.of(0x80)) !== '\u20AC') {
        return windows1252OverLatin1(decoder);
    }
    const fatal = new TextDecoder(label, { fatal: true });
    return (bytes) => {
        const text = decoder.decode(bytes);
        return text.includes('\uFFFD') ? decodeKeepingUndefinedBytes(bytes, fatal) : text;
    };
}

// The decoder for records that the exporter was asked to write in UTF-8: it
// writes nothing else there (a lone surrogate arrives as its JSON escape), so
// a line that is not UTF-8 gives undefined rather than text with U+FFFD,
// which would pass for a contact's own characters.
function utf8LineDecoder() {
    const fatal = new TextDecoder('utf-8', { fatal: true });
    return (bytes) => {
        try {
            return fatal.decode(bytes);
        } catch {
            return undefined;
        }
    };
}

// Some Node.js releases (20.20 among them) decode windows-1252 as ISO-8859-1,
// which gives the bytes 0x80 to 0x9F as the C1 controls of the same value:
// those are put right.
function windows1252OverLatin1(latin1) {
    return (bytes) =>
        latin1.decode(bytes).replace(/[\u0080-\u009F]/g, (control) => WINDOWS_1252_80_TO_9F[control.charCodeAt(0) - 0x80]);
}

// The slow road, taken only for lines holding bytes that the code page does
// not define: decode character by character, a lead byte with its trail byte
// where the pair is defined, and any other byte as itself.
function decodeKeepingUndefinedBytes(bytes, fatal) {
    let text = '';
    for (let at = 0; at < bytes.length; ) {
        const byte = bytes[at];
        if (byte < 0x80) {
            text += String.fromCharCode(byte);
            at += 1;
            continue;
        }
        const single = tryDecode(fatal, bytes.subarray(at, at + 1));
        if (single !== undefined) {
            text += single;
            at += 1;
            continue;
        }
        const pair = at + 1 < bytes.length ? tryDecode(fatal, bytes.subarray(at, at + 2)) : undefined;
        if (pair !== undefined && pair.length <= 2) {
            text += pair;
            at += 2;
        } else {
            text += String.fromCharCode(byte);
            at += 1;
        }
    }
    return text;
}

function tryDecode(fatal, bytes) {
    try {
        const text = fatal.decode(bytes);
        return text.includes('\uFFFD') ? undefined : text;
    } catch {
        return undefined;
    }
}

module.exports = { ansiCodePage, lineDecoder, utf8LineDecoder, parseRegQuery };
