'use strict';
// Where the package's executables are, and which bitness to run. "auto"
// starts with the machine's bitness; when that build reports what a build of
// the wrong bitness reports, the other one is tried, and the one that worked
// is remembered for the rest of the process.
const fs = require('node:fs');
const path = require('node:path');
const { ContactExporterError, Kind } = require('./errors');

const EXECUTABLE = 'contact-exporter.exe';
const packageRoot = path.join(__dirname, '..');
const chosenBitness = new Map(); // per command prefix

// Electron packs the application into app.asar, from which nothing can be
// started; its asarUnpack setting puts the executables beside it, in
// app.asar.unpacked.
function unpackedPath(file) {
    return file.replace(/([\\/])app\.asar([\\/])/, '$1app.asar.unpacked$2');
}

function executablePath(bitness) {
    const file = unpackedPath(path.join(packageRoot, 'bin', bitness, EXECUTABLE));
    if (!fs.existsSync(file)) {
        throw new ContactExporterError(Kind.usage, `the ${bitness} executable is missing: ${file}`, { bitness });
    }
    return file;
}

function machineBitness() {
    if (process.platform !== 'win32') return process.arch === 'ia32' ? 'x86' : 'x64';
    // A 32-bit Node on 64-bit Windows sees PROCESSOR_ARCHITEW6432.
    const is64 = process.arch !== 'ia32' || Boolean(process.env.PROCESSOR_ARCHITEW6432);
    return is64 ? 'x64' : 'x86';
}

// The bitnesses to try, in order.
function bitnessesToTry(options) {
    if (options.bitness !== 'auto') return [options.bitness];
    const remembered = chosenBitness.get(memoryKey(options));
    if (remembered) return [remembered];
    const first = machineBitness();
    return first === 'x64' ? ['x64', 'x86'] : ['x86']; // 32-bit Windows runs no 64-bit build
}

function rememberBitness(options, bitness) {
    if (options.bitness === 'auto') chosenBitness.set(memoryKey(options), bitness);
}

function memoryKey(options) {
    return JSON.stringify(options.commandPrefix);
}

module.exports = { executablePath, bitnessesToTry, rememberBitness, unpackedPath };
