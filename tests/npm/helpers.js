'use strict';
// What the npm package's tests share: the package as installed from its
// tarball (tests/npm/prepare-packages), profiles, the command prefix that runs
// the installed exporter under Wine, and the example clients to compare with.
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const repoRoot = path.resolve(__dirname, '../..');
const work = process.env.CONTACT_EXPORTER_NPM_TESTS;
if (!work) throw new Error('CONTACT_EXPORTER_NPM_TESTS must name the folder tests/npm/prepare-packages filled');
const app = path.join(work, 'app');
const contactExporter = require(require.resolve('contact-exporter', { paths: [app] }));
const installedPackage = path.dirname(require.resolve('contact-exporter/package.json', { paths: [app] }));

function makeFolder() {
    return fs.mkdtempSync(path.join(os.tmpdir(), 'contact-exporter-npm-'));
}

function writeProfile(profile, folder = makeFolder()) {
    const file = path.join(folder, 'profile.json');
    fs.writeFileSync(file, JSON.stringify(profile));
    return file;
}

const sampleProfile = path.join(repoRoot, 'samples', 'profile.json');

// Runs the installed package's x64 exporter under Wine against a profile.
function standinPrefix(profileFile) {
    return [path.join(__dirname, 'standin-prefix'), profileFile];
}

// A machine played by tests/npm/fake-exporter.js in SCENARIO: its command
// prefix, the runs it noted, and the processes it left holding standard error.
function fakeMachine(scenario) {
    const log = path.join(makeFolder(), 'runs.log');
    const runs = () => (fs.existsSync(log) ? fs.readFileSync(log, 'utf8').trimEnd().split('\n') : []);
    return {
        commandPrefix: [process.execPath, path.join(__dirname, 'fake-exporter.js'), log, scenario],
        runs: () => runs().filter((line) => !line.startsWith('holder ')),
        endHolders: () => {
            for (const line of runs().filter((noted) => noted.startsWith('holder '))) {
                try {
                    process.kill(Number(line.slice('holder '.length)));
                } catch {
                    // Ended already, with the run's process group.
                }
            }
        },
    };
}

// The first Wine program of a Wine server starts Wine's own services, which
// inherit its standard streams and keep them open for a minute; started
// here, they hold /dev/null rather than the pipes the package reads.
function warmWine() {
    spawnSync('bash', ['-c', `source "${repoRoot}/scripts/lib/paths.sh"; wineserver -p60; wine cmd.exe /c exit`], {
        stdio: 'ignore',
    });
}

// Wine takes the ANSI code page from the locale.
function localeEnvironment(locale) {
    const env = { ...process.env, LANG: locale };
    for (const name of Object.keys(env)) if (name.startsWith('LC_')) delete env[name];
    return env;
}

// The package passes its own environment on to the exporter: the action runs
// with the locale's and the variables given.
async function inLocale(locale, action, variables = {}) {
    const saved = { ...process.env };
    const wanted = { ...localeEnvironment(locale), ...variables };
    for (const name of Object.keys(process.env)) delete process.env[name];
    Object.assign(process.env, wanted);
    try {
        return await action();
    } finally {
        for (const name of Object.keys(process.env)) delete process.env[name];
        Object.assign(process.env, saved);
    }
}

// The output of an example client's --json option for a profile, with the
// client's options named (encoding, text, fields) and the variables given.
function exampleClientJson(client, profileFile, { locale = 'C.UTF-8', variables = {}, ...named } = {}) {
    const clientCommand =
        client === 'python'
            ? ['python3', path.join(repoRoot, 'examples', 'read_contacts.py')]
            : [process.env.MONO || 'mono', process.env.CSHARP_CLIENT];
    const options = ['--json', ...Object.entries(named).flatMap(([name, value]) => [`--${name}`, value])];
    const [file, ...args] = [...clientCommand, ...options, path.join(repoRoot, 'scripts', 'standin-run'), profileFile];
    const env = { ...localeEnvironment(locale), ...variables };
    const result = spawnSync(file, args, { env, maxBuffer: 256 * 1024 * 1024 });
    if (result.status !== 0) {
        throw new Error(`${client} client exited with ${result.status}: ${result.stderr}`);
    }
    return result.stdout.toString('utf8');
}

// Records as Python's json.dumps(record, ensure_ascii=True,
// separators=(",", ":")) prints them, one a line.
function asPythonJsonLines(records) {
    const escapeNonAscii = (text) =>
        text.replace(/[^\x20-\x7e]/g, (character) => `\\u${character.charCodeAt(0).toString(16).padStart(4, '0')}`);
    return records.map((record) => `${escapeNonAscii(JSON.stringify(record))}\n`).join('');
}

module.exports = {
    repoRoot,
    work,
    contactExporter,
    installedPackage,
    makeFolder,
    writeProfile,
    sampleProfile,
    standinPrefix,
    fakeMachine,
    warmWine,
    localeEnvironment,
    inLocale,
    exampleClientJson,
    asPythonJsonLines,
};
