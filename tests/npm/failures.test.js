'use strict';
// Runs that fail, each with its kind and the exporter's standard error: an
// export that an Outlook error stops, Outlook not installed, Outlook not
// answering, and an Outlook that stays busy past the time limit. A fake
// exporter plays output that stops being an export while it runs, and runs
// that the longest time limits must not end.
const assert = require('node:assert/strict');
const { before, test } = require('node:test');
const fs = require('node:fs');
const path = require('node:path');
const { contactExporter, makeFolder, writeProfile, standinPrefix, fakeMachine, warmWine, inLocale } = require('./helpers');

const { readContacts, iterateContacts, outlookVersion, ContactExporterError } = contactExporter;

const contacts = [
    { FullName: 'Anna Verdi', LastName: 'Verdi', Email1Address: 'anna@example.it', Email1AddressType: 'SMTP' },
    { FullName: 'Bruno Neri', LastName: 'Neri' },
    { FullName: 'Carla Blu', LastName: 'Blu' },
];

function options(profile, extra = {}) {
    return { commandPrefix: standinPrefix(writeProfile(profile)), bitness: 'x64', ...extra };
}

function failure(kind, check = () => {}) {
    return (error) => {
        assert.ok(error instanceof ContactExporterError, error.stack);
        assert.equal(error.kind, kind, error.message);
        check(error);
        return true;
    };
}

before(warmWine);

test('an export that an Outlook error stops is incomplete, after the records written before it', async () => {
    // Items are walked from the last: the third item read fails, and the second record, left without its line end, does not count.
    const profile = { items: contacts, faults: [{ operation: '_Items.Item', hresult: '0x80004005', call: 3 }] };
    await assert.rejects(
        readContacts(options(profile)),
        failure('incomplete', (error) => {
            assert.equal(error.recordsRead, 1);
            assert.equal(error.exitCode, 0);
            assert.match(error.message, /no trailer line/);
        }),
    );

    const seen = [];
    await assert.rejects(async () => {
        for await (const record of iterateContacts(options(profile))) seen.push(record.displayname);
    }, failure('incomplete'));
    assert.deepEqual(seen, ['Carla Blu']);
});

test('output that stops being an export while the exporter runs: the run is ended, without an exit code', async () => {
    const machine = fakeMachine('stops-midway');
    await assert.rejects(
        readContacts({ commandPrefix: machine.commandPrefix, bitness: 'x64' }),
        failure('incomplete', (error) => {
            assert.equal(error.exitCode, null);
            assert.equal(error.recordsRead, 0);
            assert.match(error.message, /record 1 is not JSON/);
        }),
    );
});

// The exporter writes nothing but UTF-8 when asked for it: a byte that is not
// UTF-8 means another output than the one asked for, not a name holding U+FFFD.
test('a line that is not UTF-8, where UTF-8 was asked for, is not a whole export', async () => {
    const machine = fakeMachine('utf-8');
    await assert.rejects(
        readContacts({ commandPrefix: machine.commandPrefix, bitness: 'x64' }),
        failure('incomplete', (error) => {
            assert.equal(error.recordsRead, 0);
            assert.match(error.message, /line 1 is not UTF-8/);
        }),
    );
});

test('diagnostics on request: the exporter\'s reason on standard error, decoded as UTF-8', async () => {
    const profile = {
        items: contacts,
        faults: [
            {
                operation: '_ContactItem.LastName',
                hresult: '0x8004010F',
                via: 'excepinfo',
                description: 'Objekt nicht gefunden überall',
            },
        ],
    };
    await assert.rejects(readContacts(options(profile)), failure('incomplete', (error) => assert.equal(error.stderr, '')));
    await assert.rejects(
        readContacts(options(profile, { diagnostics: true })),
        failure('incomplete', (error) =>
            assert.equal(
                error.stderr,
                'contact-exporter: _ContactItem.LastName failed: 0x8004010F (MAPI_E_NOT_FOUND): ' +
                    '"Objekt nicht gefunden überall". The export stops here.\r\n',
            ),
        ),
    );
});

test('Outlook not installed: the probe\'s message, in the export and in the status query', async () => {
    const profile = { items: contacts, registry: { officeKey: false } };
    const notInstalled = failure('not-installed', (error) => {
        assert.equal(error.stderr, 'MS Outlook not found or not properly installed');
        assert.equal(error.exitCode, 1);
        assert.equal(error.bitness, 'x64');
    });
    await assert.rejects(readContacts(options(profile)), notInstalled);
    await assert.rejects(outlookVersion(options(profile)), notInstalled);
});

test('Outlook not answering the status query is "unavailable"', async () => {
    const profile = { faults: [{ operation: 'Outlook.Application.create', hresult: '0x80080005' }] };
    await assert.rejects(outlookVersion(options(profile)), failure('unavailable', (error) => assert.equal(error.exitCode, 0)));
});

test('an Outlook that stays busy is ended at the time limit', async () => {
    const profile = { items: contacts, busy: [{ after: 0, rejections: 'always' }] };
    await assert.rejects(readContacts(options(profile, { timeout: 3000 })), failure('time-limit'));
    await assert.rejects(async () => {
        for await (const record of iterateContacts(options(profile, { timeout: 3000 }))) assert.fail(record);
    }, failure('time-limit'));
});

// One contact whose e-mail address must be read through Outlook's guarded
// members (its MAPI objects do not cross, and no MAPI session can be had),
// with the security prompt played as `guard` says.
function guardedRoad(server, guard) {
    return {
        server,
        mapiObject: 'unmarshallable',
        guard,
        items: [{ FullName: 'Ada Lovelace', Email1Address: 'ada@example.com' }],
        faults: [{ operation: 'MAPILogonEx', hresult: '0x80004005' }],
    };
}

// The run's processes still alive: the exporter, its launcher, or the local
// server, found by the run's folder in their environment. The package ends
// the exporter's whole process group; the server ends once its client has.
async function processesLeftBy(folder) {
    const names = ['contact-exporter.exe', 'standin-launcher.exe', 'outlook-standin-server.exe'];
    const alive = () =>
        fs.readdirSync('/proc').filter((pid) => {
            if (!/^\d+$/.test(pid)) return false;
            try {
                const commandLine = fs.readFileSync(`/proc/${pid}/cmdline`, 'latin1');
                const environment = fs.readFileSync(`/proc/${pid}/environ`, 'latin1');
                return names.some((name) => commandLine.includes(name)) && environment.includes(path.basename(folder));
            } catch {
                return false;  // ended meanwhile, or not ours to read
            }
        });
    for (let wait = 0; wait < 100 && alive().length > 0; ++wait) await new Promise((done) => setTimeout(done, 100));
    return alive();
}

// Outlook's security prompt that nobody answers keeps the exporter waiting
// for ever: the time limit ends the run, read whole from the in-process
// server and streamed from the local one, and leaves nothing running. A
// loaded machine may not reach the prompt within the short limit (a run
// against the local server first waits for the Wine prefix to itself); such
// a run is made again with twice the limit, since the case is the prompt's.
for (const server of ['inprocess', 'local']) {
    test(`an unanswered security prompt is ended at the time limit (${server} server)`, async () => {
        const streamed = server === 'local';
        let prompted = false;
        for (let limit = 4000; !prompted && limit <= 64000; limit *= 2) {
            const folder = makeFolder();
            const journal = path.join(folder, 'journal');
            const run = options(guardedRoad(server, 'unanswered'), { timeout: limit });
            await inLocale(
                'C.UTF-8',
                () =>
                    assert.rejects(async () => {
                        if (!streamed) return readContacts(run);
                        for await (const record of iterateContacts(run)) assert.fail(record);
                    }, failure('time-limit', (error) => assert.match(error.message, new RegExp(`within ${limit} ms`)))),
                { OUTLOOK_STANDIN_JOURNAL: journal },
            );
            assert.deepEqual(await processesLeftBy(folder), []);
            prompted = fs.existsSync(journal) && fs.readFileSync(journal, 'utf8').includes('guard prompt');
        }
        assert.ok(prompted, 'no run reached Outlook\'s prompt');
    });
}

test('a denied security prompt is an incomplete export whose diagnostics say so', async () => {
    for (const server of ['inprocess', 'local']) {
        await assert.rejects(
            readContacts(options(guardedRoad(server, 'denied'), { diagnostics: true })),
            failure('incomplete', (error) => {
                assert.equal(error.recordsRead, 0);
                assert.match(error.stderr, /_ContactItem\.Email1Address failed: 0x80004004 \(E_ABORT\)\. Outlook's security prompt was denied/);
            }),
        );
    }
});

// A timer's delay is at most 2^31 - 1 ms; past it Node.js waits 1 ms.
test('the longest time limits, Infinity included, let a run end by itself', async () => {
    const machine = fakeMachine('wrong-bitness');
    for (const timeout of [2 ** 31 - 1, 2 ** 31, Number.MAX_VALUE, Infinity]) {
        const result = await readContacts({ commandPrefix: machine.commandPrefix, bitness: 'x86', timeout });
        assert.equal(result.written, 1, String(timeout));
    }
});

test('wrong options are usage errors, before anything runs; a program that cannot start has failed', async () => {
    const prefix = ['/nonexistent/never-run'];
    for (const wrong of [
        { bitness: 'arm64' },
        { timeout: 0 },
        { encoding: 'no-such-encoding' },
        { text: 'ansi', encoding: 'no-such-encoding' },
        { text: 'latin-1' },
        { text: 'UTF-8' },
        { fields: ['id', 'colour'] },
        { fields: 'id,modified' },
        { commandPrefix: 'wine' },
        { diagnostic: true },
    ]) {
        await assert.rejects(readContacts({ commandPrefix: prefix, ...wrong }), failure('usage'), JSON.stringify(wrong));
    }
    // The same call with sound options gets as far as starting the program.
    await assert.rejects(readContacts({ commandPrefix: prefix, bitness: 'x64' }), failure('failed'));
});
