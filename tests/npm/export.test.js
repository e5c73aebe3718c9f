'use strict';
// The package reads real exports, run from the installed tarball under Wine:
// its records must be the example clients' records, in UTF-8 and on the
// Western and the Japanese code page, through the promise and through the
// iterator, with the members the options ask for. A fake exporter plays what
// Wine does not: code page 65001, and a process that keeps standard error
// open after the exporter has ended.
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const path = require('node:path');
const { before, describe, test } = require('node:test');
const { repoRoot, contactExporter, installedPackage, writeProfile, sampleProfile } = require('./helpers');
const { standinPrefix, fakeMachine, warmWine, localeEnvironment, inLocale } = require('./helpers');
const { exampleClientJson, asPythonJsonLines } = require('./helpers');

const { readContacts, iterateContacts, outlookVersion } = contactExporter;

const japaneseProfile = {
    items: [
        { FullName: '山田 太郎', FirstName: '太郎', LastName: '山田', Email1Address: 'taro@example.jp', Email1AddressType: 'SMTP' },
        { class: 'distlist' },
        { FullName: '佐藤 花子', LastName: '佐藤', MobileTelephoneNumber: '090-1234-5678', HomeTelephoneNumber: '03/1234\\5678' },
        { FullName: 'ｶﾀｶﾅ ①～', FirstName: 'Ω', PrimaryTelephoneNumber: '"引用"' },
    ],
};

async function collect(stream) {
    const records = [];
    for await (const record of stream) records.push(record);
    return records;
}

before(warmWine);

describe('the records are the example clients\' records, byte for byte', () => {
    test('the sample profile, code page 1252', async () => {
        const options = { commandPrefix: standinPrefix(sampleProfile), bitness: 'x64' };
        const result = await readContacts(options);
        assert.equal(result.written, 20);
        assert.equal(result.items, 22);
        assert.equal(result.stderr, '');
        assert.equal(result.bitness, 'x64');
        const expected = exampleClientJson('python', sampleProfile);
        assert.equal(asPythonJsonLines(result.records), expected);
        assert.equal(exampleClientJson('csharp', sampleProfile), expected);

        const stream = iterateContacts(options);
        assert.deepEqual(await collect(stream), result.records);
        assert.deepEqual(stream.counts, { written: 20, items: 22 });
    });

    test('a Japanese profile, code page 932', async () => {
        const profile = writeProfile(japaneseProfile);
        const result = await inLocale('ja_JP.UTF-8', () =>
            readContacts({ commandPrefix: standinPrefix(profile), bitness: 'x64', text: 'ansi', encoding: 932 }),
        );
        assert.deepEqual(
            result.records.map((record) => record.displayname),
            ['ｶﾀｶﾅ ①～', '佐藤 花子', '山田 太郎'],
        );
        assert.equal(result.items, 4);
        const expected = exampleClientJson('python', profile, { encoding: 'cp932', locale: 'ja_JP.UTF-8' });
        assert.equal(asPythonJsonLines(result.records), expected);
        assert.equal(exampleClientJson('csharp', profile, { encoding: 'cp932', locale: 'ja_JP.UTF-8' }), expected);
    });

    // Windows gives a byte that the code page leaves undefined the character
    // of the same value; such bytes reach the output from a MAPI value in the
    // code page, which the exporter passes on as Windows converts it.
    test('bytes that code page 1252 leaves undefined, as the characters of the same value', async () => {
        const profile = writeProfile({
            items: [
                {
                    FullName: 'Zoë',
                    Email1Address: { bytes: [0x7a, 0x81, 0x8d, 0x40, 0x78, 0x2e, 0xe9, 0x80] },
                    Email1AddressType: 'SMTP',
                    mapiTypes: { Email1Address: 'PT_STRING8' },
                },
            ],
        });
        const options = { commandPrefix: standinPrefix(profile), bitness: 'x64', text: 'ansi', encoding: 1252 };
        const { records } = await readContacts(options);
        assert.deepEqual(records, [{ displayname: 'Zoë', emailaddrs: ['z\u0081\u008d@x.é€'], phones: [] }]);
        const expected = exampleClientJson('python', profile, { encoding: 'cp1252' });
        assert.equal(asPythonJsonLines(records), expected);
        assert.equal(exampleClientJson('csharp', profile, { encoding: 'cp1252' }), expected);
    });
});

// Names that code page 1252 cannot hold, a lone surrogate among them, and
// each contact's identity and last change. July's local times in Rome are two
// hours ahead of UTC, January's one.
describe('the record options', () => {
    const profile = writeProfile({
        items: [
            {
                FullName: '山田 Ωmega 😀',
                LastName: 'Ωmega',
                EntryID: '00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020304',
                LastModificationTime: '2026-07-01T12:30:00',
            },
            {
                FullName: { utf16: [0x41, 0xd800, 0x42] },
                EntryID: '00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020305',
                LastModificationTime: '2026-01-15T08:00:05',
            },
        ],
    });
    const options = { commandPrefix: standinPrefix(profile), bitness: 'x64' };
    const rome = { TZ: 'Europe/Rome' };

    // The records are decoded as the options say: an inherited variable that
    // reached the exporter would change them under the decoder's feet.
    test('names whole by default, in the code page with text "ansi", whatever the environment holds', async () => {
        const inheritedAnsi = { CONTACT_EXPORTER_TEXT: 'ansi', CONTACT_EXPORTER_FIELDS: 'colour' };
        assert.deepEqual((await inLocale('C.UTF-8', () => readContacts(options), inheritedAnsi)).records, [
            { displayname: 'A\uD800B', emailaddrs: [], phones: [] },
            { displayname: '山田 Ωmega 😀', emailaddrs: [], surname: 'Ωmega', phones: [] },
        ]);
        const inheritedUtf8 = { CONTACT_EXPORTER_TEXT: 'utf-8', CONTACT_EXPORTER_FIELDS: 'colour' };
        const ansi = await inLocale('C.UTF-8', () => readContacts({ ...options, text: 'ansi' }), inheritedUtf8);
        assert.deepEqual(ansi.records, [
            { displayname: 'A?B', emailaddrs: [], phones: [] },
            { displayname: '?? Omega ??', emailaddrs: [], surname: 'Omega', phones: [] },
        ]);
    });

    test('fields: the EntryID and the last change in UTC, after the phones, as the example clients read them', async () => {
        const { records } = await inLocale('C.UTF-8', () => readContacts({ ...options, fields: ['modified', 'id'] }), rome);
        assert.deepEqual(
            records.map(({ id, modified }) => ({ id, modified })),
            [
                { id: '00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020305', modified: '2026-01-15T07:00:05Z' },
                { id: '00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001020304', modified: '2026-07-01T10:30:00Z' },
            ],
        );
        const asked = { text: 'utf-8', fields: 'id,modified', variables: rome };
        const expected = exampleClientJson('python', profile, asked);
        assert.equal(asPythonJsonLines(records), expected);
        assert.equal(exampleClientJson('csharp', profile, asked), expected);
    });
});

// A line holding U+FFFD, which the other code pages do not define, is
// still UTF-8 throughout; a byte that is not UTF-8 becomes U+FFFD, as
// Windows converts it.
test('code page 65001 is UTF-8 whatever a line holds', async () => {
    const machine = fakeMachine('utf-8');
    for (const encoding of [65001, 'utf-8']) {
        const options = { commandPrefix: machine.commandPrefix, bitness: 'x64', text: 'ansi', encoding };
        const { records } = await readContacts(options);
        assert.deepEqual(
            records,
            [{ displayname: '€ 日本 \uFFFD 😀', emailaddrs: ['ad\uFFFD@example.org'], phones: [] }],
            String(encoding),
        );
    }
});

// The process lives far longer than the time limit: a wait for standard
// error's end would turn the whole export into a "time-limit" failure.
test('a whole export is read though a process that the exporter started holds standard error open', async () => {
    const machine = fakeMachine('stderr-held');
    const options = { commandPrefix: machine.commandPrefix, bitness: 'x64', timeout: 20000 };
    try {
        const result = await readContacts(options);
        assert.deepEqual(result.records.map((record) => record.displayname), ['Ada Lovelace']);
        assert.equal(result.stderr, 'cannot find temp path');
        assert.equal(await outlookVersion(options), '16.0.5000.1000');
    } finally {
        machine.endHolders();
    }
});

test('the ANSI code page is read from reg.exe\'s answer, as Windows\' own reg.exe gives it', () => {
    const { parseRegQuery } = require(path.join(installedPackage, 'lib', 'codePage.js'));
    const query = 'wine reg.exe query "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage" /v ACP';
    for (const [locale, codePage] of [['ja_JP.UTF-8', 932], ['C.UTF-8', 1252]]) {
        const answer = spawnSync('bash', ['-c', `source "${repoRoot}/scripts/lib/paths.sh"; ${query}`], {
            env: localeEnvironment(locale),
            encoding: 'utf8',
        });
        assert.equal(parseRegQuery(answer.stdout), codePage, answer.stdout);
    }
});

test('the status query answers Outlook\'s version', async () => {
    const version = await outlookVersion({ commandPrefix: standinPrefix(sampleProfile), bitness: 'x64' });
    assert.equal(version, '16.0.17928.20114');
});
