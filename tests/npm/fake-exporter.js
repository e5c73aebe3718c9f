'use strict';
// node fake-exporter.js LOG SCENARIO EXECUTABLE [ARG...]
//
// A command prefix that stands in for a machine whose Outlook has the other
// bitness (an x86 build cannot run on the test machines): it notes each run
// in LOG ("x64 -h") and answers as the build of that bitness would there.
//   wrong-bitness  the x64 build cannot load MAPI; the x86 build exports
//   mapi-damaged   the x64 build finds mapi32.dll without MAPIInitialize
const fs = require('node:fs');
const path = require('node:path');

const [log, scenario, executable, ...args] = process.argv.slice(2);
const bitness = path.basename(path.dirname(executable));
fs.appendFileSync(log, `${[bitness, ...args].join(' ')}\n`);
const statusQuery = args[0] === '-h';

if (process.env.CONTACT_EXPORTER_DIAGNOSTICS === '1') {
    process.stderr.write('contact-exporter: LoadLibraryW mapi32.dll failed: 0x8007007E. Prüfen Sie die Installation\r\n');
}
if (bitness === 'x64') {
    const message =
        scenario === 'wrong-bitness' ? 'Cannot load mapi32.dll' : 'Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll';
    if (statusQuery) process.stdout.write('ko');
    process.stderr.write(message);
    process.exitCode = 1;
} else if (statusQuery) {
    process.stdout.write('16.0.5000.1000');
} else {
    process.stdout.write('{"displayname":"Ada Lovelace","emailaddrs":["ada@example.org"],"phones":[]}\r\n');
    process.stdout.write('contatti trovati: 1 / 2\r\n');
}
