'use strict';
// One run of the exporter: started directly or through a command prefix,
// standard error collected, ended (with whatever it started) at the time
// limit or when the caller stops early.
const { spawn } = require('node:child_process');
const { ContactExporterError, Kind } = require('./errors');

const utf8 = new TextDecoder('utf-8'); // replaces what is not UTF-8

class ExporterProcess {
    // executable: the exporter's path; args: its arguments; options: the
    // caller's normalised options (commandPrefix, diagnostics, timeout).
    constructor(executable, args, options) {
        const [file, ...prefixArgs] = [...options.commandPrefix, executable];
        const env = { ...process.env };
        if (options.diagnostics) env.CONTACT_EXPORTER_DIAGNOSTICS = '1';
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
        this.ended = new Promise((resolve, reject) => {
            this.rejectEnded = reject;
            this.child.on('error', (error) =>
                reject(new ContactExporterError(Kind.failed, `cannot start ${file}: ${error.message}`)),
            );
            this.child.on('close', (code, signal) => {
                clearTimeout(this.timer);
                resolve({ exitCode: code ?? signal, stderr: this.stderr() });
            });
        });
        // Callers that only read records still learn of a failure through
        // `ended`; no rejection goes unobserved meanwhile.
        this.ended.catch(() => {});
        if (Number.isFinite(options.timeout)) {
            this.timer = setTimeout(() => this.endAtTimeLimit(options.timeout), options.timeout);
        }
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
