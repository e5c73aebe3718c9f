'use strict';
// The release packages as tests/npm/prepare-packages had scripts/package make
// them, signed with a throwaway certificate: every package carries the same
// two signed executables, the archive's sums match them, the notices travel
// with each, and the npm tarball holds what the package declares.
const assert = require('node:assert/strict');
const { execFileSync, spawnSync } = require('node:child_process');
const crypto = require('node:crypto');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const { repoRoot, work, makeFolder } = require('./helpers');

const packages = fs.readFileSync(path.join(work, 'packages.txt'), 'utf8').trim().split('\n');
const certificate = path.join(work, 'signing', 'certificate.pem');
const testBuild = path.join(process.env.CONTACT_EXPORTER_BUILD_ROOT || path.join(repoRoot, 'build'), 'windows', 'bin');
const version = /project\(ContactExporter VERSION (\d+\.\d+\.\d+)/.exec(
    fs.readFileSync(path.join(repoRoot, 'CMakeLists.txt'), 'utf8'),
)[1];

function unpacked(suffix) {
    const package_ = packages.find((file) => file.endsWith(suffix));
    const folder = makeFolder();
    if (suffix === '.tgz') {
        execFileSync('tar', ['-xzf', package_, '-C', folder]);
    } else {
        execFileSync('python3', ['-m', 'zipfile', '-e', package_, folder]);
    }
    return folder;
}

function filesUnder(folder) {
    return fs
        .readdirSync(folder, { recursive: true, withFileTypes: false })
        .map((file) => file.split(path.sep).join('/'))
        .filter((file) => fs.statSync(path.join(folder, file)).isFile())
        .sort();
}

function verifiesAsSigned(executable) {
    return spawnSync('osslsigncode', ['verify', '-CAfile', certificate, '-in', executable]).status === 0;
}

const sha256 = (file) => crypto.createHash('sha256').update(fs.readFileSync(file)).digest('hex');

const archive = unpacked('.zip');
const top = path.join(archive, `contact-exporter-${version}-windows`);
const sums = Object.fromEntries(
    fs
        .readFileSync(path.join(top, 'SHA256SUMS'), 'ascii')
        .trim()
        .split('\n')
        .map((line) => line.split('  ').reverse()),
);

test('the archive: its executables signed, its sums theirs, the documents and notices beside them', () => {
    assert.deepEqual(filesUnder(top), [
        'CHANGELOG.md',
        'LICENSE',
        'README.md',
        'SHA256SUMS',
        'THIRD-PARTY-NOTICES.txt',
        'x64/contact-exporter.exe',
        'x86/contact-exporter.exe',
    ]);
    for (const bitness of ['x64', 'x86']) {
        const executable = path.join(top, bitness, 'contact-exporter.exe');
        assert.ok(verifiesAsSigned(executable), `${bitness} is not signed`);
        assert.equal(sha256(executable), sums[`${bitness}/contact-exporter.exe`]);
    }
    // The check can fail: the test build's executable carries no signature.
    assert.equal(verifiesAsSigned(path.join(testBuild, 'contact-exporter.exe')), false);
    assert.match(fs.readFileSync(path.join(top, 'THIRD-PARTY-NOTICES.txt'), 'utf8'), /GCC RUNTIME LIBRARY EXCEPTION/);
    assert.match(fs.readFileSync(path.join(top, 'CHANGELOG.md'), 'utf8'), new RegExp(`## ${version.replace(/\./g, '\\.')} `));
});

test('the npm tarball: the archive\'s signed executables, the notices, and the package\'s declared files alone', () => {
    const root = path.join(unpacked('.tgz'), 'package');
    assert.deepEqual(filesUnder(root), [
        'LICENSE',
        'README.md',
        'THIRD-PARTY-NOTICES.txt',
        'bin/x64/contact-exporter.exe',
        'bin/x86/contact-exporter.exe',
        'index.d.ts',
        'index.mjs',
        'lib/codePage.js',
        'lib/errors.js',
        'lib/executables.js',
        'lib/exportReader.js',
        'lib/exporterProcess.js',
        'lib/index.js',
        'lib/options.js',
        'package.json',
    ]);
    for (const bitness of ['x64', 'x86']) {
        const executable = path.join(root, 'bin', bitness, 'contact-exporter.exe');
        assert.equal(sha256(executable), sums[`${bitness}/contact-exporter.exe`], bitness);
    }
    const manifest = JSON.parse(fs.readFileSync(path.join(root, 'package.json'), 'utf8'));
    assert.equal(manifest.version, version);
    assert.equal(manifest.engines.node, '>=18');
    assert.equal(manifest.dependencies, undefined);
});

test('the NuGet package: the archive\'s signed executables and the notices', () => {
    const root = unpacked('.nupkg');
    const files = filesUnder(root);
    const executables = files.filter((file) => file.endsWith('/contact-exporter.exe'));
    assert.equal(executables.length, 2, files.join(', '));
    for (const file of executables) {
        const bitness = /x64/.test(file) ? 'x64' : 'x86';
        assert.equal(sha256(path.join(root, file)), sums[`${bitness}/contact-exporter.exe`], file);
    }
    assert.ok(files.some((file) => /THIRD-PARTY-NOTICES/i.test(file)), files.join(', '));
});

test('the installed package loads from CommonJS and from ES modules as one implementation', () => {
    const script = [
        "import { readContacts, Kind } from 'contact-exporter';",
        "import { createRequire } from 'node:module';",
        "const required = createRequire(import.meta.url)('contact-exporter');",
        "process.stdout.write(String(readContacts === required.readContacts && Kind.timeLimit === 'time-limit'));",
    ].join('\n');
    const output = execFileSync(process.execPath, ['--input-type=module', '-e', script], {
        cwd: path.join(work, 'app'),
    });
    assert.equal(output.toString(), 'true');
});
