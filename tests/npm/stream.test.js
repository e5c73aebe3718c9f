'use strict';
// The iterator reads a large folder as it arrives: records are handed on as
// they come and standard output is read no faster than they are taken, so
// memory stays flat however long the export and however slow the caller.
const assert = require('node:assert/strict');
const { before, test } = require('node:test');
const v8 = require('node:v8');
const vm = require('node:vm');
const { contactExporter, writeProfile, standinPrefix, warmWine } = require('./helpers');

v8.setFlagsFromString('--expose-gc');
const collectGarbage = vm.runInNewContext('gc');

const CONTACTS = 10000;
const NAME = `Contatto ${'con un nome lungo '.repeat(100)}`; // some 3 KB a record: 30 MB in all

function memoryInUse() {
    collectGarbage();
    const { heapUsed, external } = process.memoryUsage();
    return heapUsed + external;
}

before(warmWine);

test('10,000 contacts through the iterator, in flat memory', async () => {
    const profile = writeProfile({
        items: [{ FullName: NAME, FirstName: NAME, LastName: 'Rossi', MobileTelephoneNumber: '+39 333 123 4567' }],
        itemsRepeat: CONTACTS,
    });
    const stream = contactExporter.iterateContacts({ commandPrefix: standinPrefix(profile), bitness: 'x64' });
    let count = 0;
    let peak = 0;
    const baseline = memoryInUse();
    for await (const record of stream) {
        count += 1;
        assert.equal(record.displayname, NAME);
        if (count === 2000) {
            // A slow caller: the exporter must wait for it, not fill memory.
            await new Promise((resolve) => setTimeout(resolve, 3000));
        }
        if (count % 1000 === 0) peak = Math.max(peak, memoryInUse());
    }
    assert.equal(count, CONTACTS);
    assert.deepEqual(stream.counts, { written: CONTACTS, items: CONTACTS });
    const growth = peak - baseline;
    assert.ok(growth < 8 * 1024 * 1024, `memory grew by ${(growth / 1024 / 1024).toFixed(1)} MiB while reading`);
});
