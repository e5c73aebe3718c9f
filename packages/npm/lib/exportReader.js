'use strict';
// Reads the export from standard output's bytes: lines end in CR LF, each
// line before the trailer is one record (in the ANSI code page or in UTF-8,
// as the caller's decoder reads it; undefined from it means that the line is
// not UTF-8), and the trailer "contatti trovati: N / M" closes a whole
// export. Anything else is not a whole export and must not pass for one.

const TRAILER = /^contatti trovati: (\d+) \/ (\d+)$/;
const LF = 0x0a;
const CR = 0x0d;

class IncompleteExport extends Error {}

class ExportReader {
    constructor(decodeLine) {
        this.decodeLine = decodeLine;
        this.pending = []; // the bytes of the line not yet ended
        this.recordsRead = 0;
        this.emptyLineSeen = false;
        this.trailer = null;
    }

    // The records completed by this chunk. Throws IncompleteExport.
    *records(chunk) {
        let start = 0;
        for (let end = chunk.indexOf(LF); end !== -1; end = chunk.indexOf(LF, start)) {
            const record = this.line(this.takeLine(chunk.subarray(start, end + 1)));
            if (record !== undefined) yield record;
            start = end + 1;
        }
        if (start < chunk.length) this.pending.push(chunk.subarray(start));
    }

    // The counts of the trailer, once standard output has ended.
    end() {
        if (this.pending.length > 0) {
            this.fail('the output stops inside a record: no trailer line');
        }
        if (this.trailer === null) {
            this.fail('no trailer line: an Outlook error stopped the walk');
        }
        const { written, items } = this.trailer;
        if (written !== this.recordsRead) {
            this.fail(`the trailer counts ${written} records, the output holds ${this.recordsRead}`);
        }
        if (written > items) {
            this.fail(`the trailer counts ${written} records of ${items} items`);
        }
        return { written, items };
    }

    takeLine(lastPiece) {
        const raw = this.pending.length === 0 ? lastPiece : Buffer.concat([...this.pending, lastPiece]);
        this.pending = [];
        return raw;
    }

    line(raw) {
        const number = this.recordsRead + 1;
        if (this.trailer !== null) this.fail('text after the trailer line');
        if (raw.length < 2 || raw[raw.length - 2] !== CR) this.fail(`line ${number} does not end in CR LF`);
        const text = this.decodeLine(raw.subarray(0, raw.length - 2));
        if (text === undefined) this.fail(`line ${number} is not UTF-8`);
        const trailer = TRAILER.exec(text);
        if (trailer) {
            this.trailer = { written: Number(trailer[1]), items: Number(trailer[2]) };
            return undefined;
        }
        if (this.emptyLineSeen) this.fail('the empty line is not followed by the trailer line');
        if (text === '' && this.recordsRead === 0) {
            this.emptyLineSeen = true; // no record: the trailer follows an empty line
            return undefined;
        }
        let record;
        try {
            record = JSON.parse(text);
        } catch (error) {
            this.fail(`record ${number} is not JSON: ${error.message}`);
        }
        if (record === null || typeof record !== 'object' || Array.isArray(record)) {
            this.fail(`record ${number} is not a JSON object`);
        }
        this.recordsRead = number;
        return record;
    }

    fail(problem) {
        throw new IncompleteExport(problem);
    }
}

module.exports = { ExportReader, IncompleteExport };
