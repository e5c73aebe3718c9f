'use strict';
// The package reads real exports, run from the installed tarball under Wine:
// its records must be the example clients' records, on the Western and the
// Japanese code page, through the promise and through the iterator. A fake
// exporter plays what Wine does not: code page 65001, and a process that
// keeps standard error open after the exporter has ended.
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
            readContacts({ commandPrefix: standinPrefix(profile), bitness: 'x64', encoding: 932 }),
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
        const { records } = await readContacts({ commandPrefix: standinPrefix(profile), bitness: 'x64', encoding: 1252 });
        assert.deepEqual(records, [{ displayname: 'Zoë', emailaddrs: ['z\u0081\u008d@x.é€'], phones: [] }]);
        const expected = exampleClientJson('python', profile, { encoding: 'cp1252' });
        assert.equal(asPythonJsonLines(records), expected);
        assert.equal(exampleClientJson('csharp', profile, { encoding: 'cp1252' }), expected);
    });
});

// A line holding U+FFFD, which the other code pages do not define, is
// still UTF-8 throughout; a byte that is not UTF-8 becomes U+FFFD, as
// Windows converts it.
test('code page 65001 is UTF-8 whatever a line holds', async () => {
    const machine = fakeMachine('utf-8');
    for (const encoding of [65001, 'utf-8']) {
        const { records } = await readContacts({ commandPrefix: machine.commandPrefix, bitness: 'x64', encoding });
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
