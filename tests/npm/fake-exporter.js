'use strict';
// node fake-exporter.js LOG SCENARIO EXECUTABLE [ARG...]
//
// A command prefix that stands in for the exporter where the real one cannot
// show what a test needs: it notes each run in LOG ("x64 -h") and answers as
// the build of that bitness would in SCENARIO.
//   wrong-bitness  Outlook has the other bitness (an x86 build cannot run on
//                  the test machines): the x64 build cannot load MAPI, the
//                  x86 build exports
//   mapi-damaged   the x64 build finds mapi32.dll without MAPIInitialize
//   utf-8          code page 65001 or records asked for in UTF-8: a record
//                  holding characters of one to four bytes, U+FFFD, and a
//                  byte that is not UTF-8
//   stderr-held    a whole export or status answer, then the exporter exits
//                  while a process it started holds standard error open
//                  (noted in LOG as "holder PID")
//   stops-midway   a line that is not a record, then the exporter waits
const { spawn } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const [log, scenario, executable, ...args] = process.argv.slice(2);
const bitness = path.basename(path.dirname(executable));
fs.appendFileSync(log, `${[bitness, ...args].join(' ')}\n`);
const statusQuery = args[0] === '-h';

const ADA = '{"displayname":"Ada Lovelace","emailaddrs":["ada@example.org"],"phones":[]}\r\n';
const VERSION = '16.0.5000.1000';

function exportOrAnswer(records, trailer) {
    if (statusQuery) {
        process.stdout.write(VERSION);
        return;
    }
    for (const record of records) process.stdout.write(record);
    process.stdout.write(trailer);
}

function otherBitness() {
    if (process.env.CONTACT_EXPORTER_DIAGNOSTICS === '1') {
        process.stderr.write('contact-exporter: LoadLibraryW mapi32.dll failed: 0x8007007E. Prüfen Sie die Installation\r\n');
    }
    if (bitness !== 'x64') {
        exportOrAnswer([ADA], 'contatti trovati: 1 / 2\r\n');
        return;
    }
    const message =
        scenario === 'wrong-bitness' ? 'Cannot load mapi32.dll' : 'Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll';
    if (statusQuery) process.stdout.write('ko');
    process.stderr.write(message);
    process.exitCode = 1;
}

const scenarios = {
    'wrong-bitness': otherBitness,
    'mapi-damaged': otherBitness,
    'utf-8': () => {
        const record = Buffer.concat([
            Buffer.from('{"displayname":"€ 日本 \uFFFD 😀","emailaddrs":["ad', 'utf8'),
            Buffer.of(0xff),
            Buffer.from('@example.org"],"phones":[]}\r\n', 'utf8'),
        ]);
        process.stdout.write(record);
        process.stdout.write('contatti trovati: 1 / 1\r\n');
    },
    'stderr-held': () => {
        const holder = spawn(process.execPath, ['-e', 'setTimeout(() => {}, 600000)'], {
            stdio: ['ignore', 'ignore', 'inherit'],
        });
        fs.appendFileSync(log, `holder ${holder.pid}\n`);
        holder.unref();
        process.stderr.write('cannot find temp path');
        exportOrAnswer([ADA], 'contatti trovati: 1 / 1\r\n');
    },
    'stops-midway': () => {
        process.stdout.write('not a record\r\n');
        setTimeout(() => {}, 600000);
    },
};

scenarios[scenario]();
