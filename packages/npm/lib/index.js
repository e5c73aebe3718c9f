'use strict';
// contact-exporter for Node.js: runs the exporter of the machine's (or
// Outlook's) bitness and reads its contacts.
const { ContactExporterError, Kind, meansOtherBitness, failedRunError } = require('./errors');
const { ExportReader, IncompleteExport } = require('./exportReader');
const { ExporterProcess } = require('./exporterProcess');
const { executablePath, bitnessesToTry, rememberBitness } = require('./executables');
const { normaliseOptions } = require('./options');

// The contacts as they arrive. Iterating runs one export; once the
// iteration has ended without an error, `counts` holds the trailer's two
// counts and `stderr` what the exporter wrote there.
class ContactStream {
    constructor(options) {
        this.options = options;
        this.counts = null;
        this.stderr = '';
        this.bitness = null;
    }

    async *[Symbol.asyncIterator]() {
        const options = normaliseOptions(this.options);
        const bitnesses = bitnessesToTry(options);
        for (const [index, bitness] of bitnesses.entries()) {
            const run = new ExporterProcess(executablePath(bitness), [], options);
            const reader = new ExportReader(options.decodeLine);
            try {
                yield* readRecords(run, reader, bitness);
                const { exitCode, stderr } = await run.ended;
                if (exitCode !== 0) {
                    const last = index === bitnesses.length - 1;
                    if (!last && reader.recordsRead === 0 && otherBitnessMeant(exitCode, stderr)) continue;
                    throw failedRunError(exitCode, stderr, bitness);
                }
                this.counts = readTrailer(reader, { stderr, exitCode, bitness });
                this.stderr = stderr;
                this.bitness = bitness;
                rememberBitness(options, bitness);
                return;
            } finally {
                run.stop();
            }
        }
    }
}

async function* readRecords(run, reader, bitness) {
    try {
        for await (const chunk of run.stdout) yield* reader.records(chunk);
    } catch (error) {
        if (error instanceof IncompleteExport) {
            // Found while the output still arrives: the run is ended here,
            // and has no exit code of its own unless it has exited already.
            throw incompleteError(error, reader, { stderr: run.stderr(), exitCode: run.exitCodeSoFar(), bitness });
        }
        // Standard output let go at the time limit: `ended` tells.
        if (!run.timedOut) throw error;
    }
}

function readTrailer(reader, ended) {
    try {
        return reader.end();
    } catch (error) {
        if (error instanceof IncompleteExport) throw incompleteError(error, reader, ended);
        throw error;
    }
}

// ended: the run's { stderr, exitCode, bitness } as they stood when the
// output was found not to be a whole export.
function incompleteError(error, reader, ended) {
    const message = `incomplete export (${reader.recordsRead} records read): ${error.message}`;
    return new ContactExporterError(Kind.incomplete, message, { ...ended, recordsRead: reader.recordsRead });
}

function otherBitnessMeant(exitCode, stderr) {
    return exitCode === 1 && meansOtherBitness(stderr);
}

function iterateContacts(options) {
    return new ContactStream(options);
}

async function readContacts(options) {
    const stream = iterateContacts(options);
    const records = [];
    for await (const record of stream) records.push(record);
    return { records, ...stream.counts, stderr: stream.stderr, bitness: stream.bitness };
}

// The status query: Outlook's version text when the exporter connects to it.
async function outlookVersion(options) {
    const normalised = normaliseOptions(options);
    const bitnesses = bitnessesToTry(normalised);
    for (const [index, bitness] of bitnesses.entries()) {
        const run = new ExporterProcess(executablePath(bitness), ['-h'], normalised);
        const answer = [];
        run.stdout.on('data', (chunk) => answer.push(chunk));
        let ended;
        try {
            ended = await run.ended;
        } finally {
            run.stop();
        }
        const { exitCode, stderr } = ended;
        if (exitCode === 0) {
            // The answer is UTF-8, without a line end.
            const version = new TextDecoder('utf-8').decode(Buffer.concat(answer));
            if (version === 'ko') {
                throw new ContactExporterError(Kind.unavailable, 'Outlook did not answer the status query', {
                    stderr,
                    exitCode,
                    bitness,
                });
            }
            rememberBitness(normalised, bitness);
            return version;
        }
        if (index < bitnesses.length - 1 && otherBitnessMeant(exitCode, stderr)) continue;
        throw failedRunError(exitCode, stderr, bitness);
    }
}

module.exports = { readContacts, iterateContacts, outlookVersion, ContactExporterError, Kind };
