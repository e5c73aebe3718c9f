'use strict';
// "auto" bitness: the machine's build first, the other one once on a message
// that means Outlook has the other bitness, and that choice kept. The builds
// are played by a fake command prefix, since an x86 build cannot run here.
const assert = require('node:assert/strict');
const { test } = require('node:test');
const { contactExporter, fakeMachine } = require('./helpers');

const { readContacts, outlookVersion, ContactExporterError } = contactExporter;

test('"auto" tries the x86 build once after the x64 build cannot load MAPI, and keeps to it', async () => {
    const machine = fakeMachine('wrong-bitness');
    const result = await readContacts({ commandPrefix: machine.commandPrefix });
    assert.equal(result.bitness, 'x86');
    assert.deepEqual(result.records, [{ displayname: 'Ada Lovelace', emailaddrs: ['ada@example.org'], phones: [] }]);
    assert.deepEqual(machine.runs(), ['x64', 'x86']);

    assert.equal(await outlookVersion({ commandPrefix: machine.commandPrefix }), '16.0.5000.1000');
    await readContacts({ commandPrefix: machine.commandPrefix });
    assert.deepEqual(machine.runs(), ['x64', 'x86', 'x86 -h', 'x86']);
});

test('the status query tries the other build too', async () => {
    const machine = fakeMachine('wrong-bitness');
    assert.equal(await outlookVersion({ commandPrefix: machine.commandPrefix }), '16.0.5000.1000');
    assert.deepEqual(machine.runs(), ['x64 -h', 'x86 -h']);
});

test('a MAPI failure that does not mean the other bitness is reported, with its diagnostics, and not retried', async () => {
    const machine = fakeMachine('mapi-damaged');
    await assert.rejects(readContacts({ commandPrefix: machine.commandPrefix, diagnostics: true }), (error) => {
        assert.ok(error instanceof ContactExporterError);
        assert.equal(error.kind, 'mapi');
        assert.equal(error.message, 'Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll');
        assert.equal(
            error.stderr,
            'contact-exporter: LoadLibraryW mapi32.dll failed: 0x8007007E. Prüfen Sie die Installation\r\n' +
                'Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll',
        );
        return true;
    });
    assert.deepEqual(machine.runs(), ['x64']);
});

test('a bitness named runs that build alone', async () => {
    const machine = fakeMachine('wrong-bitness');
    await assert.rejects(readContacts({ commandPrefix: machine.commandPrefix, bitness: 'x64' }), { kind: 'mapi' });
    assert.equal((await readContacts({ commandPrefix: machine.commandPrefix, bitness: 'x86' })).records.length, 1);
    assert.deepEqual(machine.runs(), ['x64', 'x86']);
});
