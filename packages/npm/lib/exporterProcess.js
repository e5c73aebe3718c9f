'use strict';
// One run of the exporter: started directly or through a command prefix,
// standard error collected, ended (with whatever it started) at the time
// limit or when the caller stops early.
const { spawn } = require('node:child_process');
const { ContactExporterError, Kind } = require('./errors');

const utf8 = new TextDecoder('utf-8'); // replaces what is not UTF-8

// How long standard error may stay open once the exporter has exited and its
// output has ended: a process that it or a command prefix started (Wine's
// services, started by the first Windows program of a Wine server) may hold
// it for long, while all the exporter wrote there has arrived already.
const ERRORS_GRACE_MS = 1000;

class ExporterProcess {
    // executable: the exporter's path; args: its arguments; options: the
    // caller's normalised options (commandPrefix, diagnostics, text, fields,
    // timeout).
    constructor(executable, args, options) {
        const [file, ...prefixArgs] = [...options.commandPrefix, executable];
        const env = exporterEnvironment(options);
        this.timedOut = false;
        this.child = spawn(file, [...prefixArgs, ...args], {
            stdio: ['ignore', 'pipe', 'pipe'],
            env,
            windowsHide: true,
            // Elsewhere than on Windows the exporter runs through a launcher
            // (Wine): a process group of its own lets the time limit end all
            // of it.
            detached: process.platform !== 'win32',
        });
        this.stdout = this.child.stdout;
        const stderrChunks = [];
        this.child.stderr.on('data', (chunk) => stderrChunks.push(chunk));
        this.stderr = () => utf8.decode(Buffer.concat(stderrChunks));
        const deadline = performance.now() + options.timeout;
        this.ended = new Promise((resolve, reject) => {
            this.rejectEnded = reject;
            this.child.on('error', (error) =>
                reject(new ContactExporterError(Kind.failed, `cannot start ${file}: ${error.message}`)),
            );
            this.finished(deadline).then(resolve);
        });
        // Callers that only read records still learn of a failure through
        // `ended`; no rejection goes unobserved meanwhile.
        this.ended.catch(() => {});
        if (Number.isFinite(options.timeout)) {
            this.timer = setTimeout(() => this.endAtTimeLimit(options.timeout), options.timeout);
        }
    }

    // The exit code of an exporter that has ended, or null while it runs.
    exitCodeSoFar() {
        return this.child.exitCode ?? this.child.signalCode;
    }

    // The run is over once the exporter has exited and its output has ended;
    // standard error is then taken as it stands after a short grace, within
    // the time limit.
    async finished(deadline) {
        const exited = new Promise((resolve) => this.child.once('exit', (code, signal) => resolve(code ?? signal)));
        const [exitCode] = await Promise.all([exited, closed(this.child.stdout)]);
        clearTimeout(this.timer);
        await closed(this.child.stderr, Math.min(ERRORS_GRACE_MS, deadline - performance.now()));
        return { exitCode, stderr: this.stderr() };
    }

    endAtTimeLimit(timeout) {
        this.timedOut = true;
        this.stop();
        this.rejectEnded(
            new ContactExporterError(Kind.timeLimit, `contact-exporter did not end within ${timeout} ms and was ended`, {
                stderr: this.stderr(),
            }),
        );
    }

    // Ends the run and everything it started; the pipes are let go at once,
    // since a process that the end did not reach may hold them for long.
    stop() {
        clearTimeout(this.timer);
        if (this.child.exitCode === null && this.child.signalCode === null && this.child.pid !== undefined) {
            endProcessTree(this.child);
        }
        this.child.stdout.destroy();
        this.child.stderr.destroy();
    }
}

// This process's environment with the exporter's variables as the options
// ask. The record options are set or removed whatever this process holds:
// one inherited from it would change records that are decoded as the
// options say.
function exporterEnvironment(options) {
    const env = { ...process.env };
    if (options.diagnostics) setVariable(env, 'CONTACT_EXPORTER_DIAGNOSTICS', '1');
    setVariable(env, 'CONTACT_EXPORTER_TEXT', options.text);
    setVariable(env, 'CONTACT_EXPORTER_FIELDS', options.fields.length > 0 ? options.fields.join(',') : undefined);
    return env;
}

// Windows' variable names know no case: a variant in another case would be
// passed on beside the one set here.
function setVariable(env, name, value) {
    for (const present of Object.keys(env)) {
        if (present.toUpperCase() === name) delete env[present];
    }
    if (value !== undefined) env[name] = value;
}

// Resolves when the stream has closed, or once `milliseconds` have passed.
function closed(stream, milliseconds = Infinity) {
    return new Promise((resolve) => {
        if (stream.closed) {
            resolve();
            return;
        }
        const grace = Number.isFinite(milliseconds) ? setTimeout(resolve, Math.max(0, milliseconds)) : undefined;
        stream.once('close', () => {
            clearTimeout(grace);
            resolve();
        });
    });
}

function endProcessTree(child) {
    if (process.platform === 'win32') {
        // The exporter starts no process itself; a command prefix may.
        spawn('taskkill', ['/pid', String(child.pid), '/T', '/F'], { stdio: 'ignore', windowsHide: true }).on(
            'error',
            () => child.kill(),
        );
        return;
    }
    try {
        process.kill(-child.pid, 'SIGKILL');
    } catch {
        child.kill('SIGKILL');
    }
}

module.exports = { ExporterProcess };
