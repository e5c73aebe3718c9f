/** A contact as the exporter writes it; members it leaves out are absent. */
export interface Contact {
    /** Base64 of the contact's picture (a JPEG). */
    image?: string;
    displayname?: string;
    /** Up to three addresses; an Exchange address without an SMTP address is "". */
    emailaddrs: string[];
    firstname?: string;
    surname?: string;
    phones: Phone[];
    /** The contact's EntryID (hexadecimal text), which stays the same when the contact changes; only with `fields: ['id']`. */
    id?: string;
    /** The contact's last change in UTC, "YYYY-MM-DDTHH:MM:SSZ"; only with `fields: ['modified']`. */
    modified?: string;
}

export interface Phone {
    type: 'business' | 'business2' | 'businessFax' | 'home' | 'home2' | 'homeFax' | 'company' | 'other' | 'primary' | 'mobile';
    number: string;
}

export type Bitness = 'x64' | 'x86';

export interface Options {
    /** Milliseconds before the run is ended with a "time-limit" error; Infinity for none; a longer limit than 2^31 - 1 (some 24.8 days) is held to that. Default 10 minutes. */
    timeout?: number;
    /** Which build to run. "auto" (the default) starts with the machine's bitness and tries the other one once when the first reports a bitness mismatch, then keeps to the one that worked. */
    bitness?: 'auto' | Bitness;
    /** Sets CONTACT_EXPORTER_DIAGNOSTICS=1: the exporter explains on standard error why a run or a walk ended early. */
    diagnostics?: boolean;
    /** The records' text (CONTACT_EXPORTER_TEXT): "utf-8" (the default) loses no character; "ansi" is the exporter's own default, the machine's ANSI code page, where a character the code page lacks arrives as a substitute or "?". */
    text?: 'utf-8' | 'ansi';
    /** Members to add to every record (CONTACT_EXPORTER_FIELDS): "id", "modified". Default none. */
    fields?: Array<'id' | 'modified'>;
    /** With text "ansi", the records' code page: a Windows code page number (932) or an encoding label ("shift_jis"). Default: the machine's ANSI code page on Windows, 1252 elsewhere. Checked with text "utf-8" too, where it decodes nothing. */
    encoding?: number | string;
    /** A program (and its arguments) that runs the executable: the executable's path and arguments follow them. */
    commandPrefix?: string[];
}

export interface ExportCounts {
    /** Records written (N of the trailer "contatti trovati: N / M"). */
    written: number;
    /** Items in the contacts folder, contacts and others (M). */
    items: number;
}

export interface ExportResult extends ExportCounts {
    records: Contact[];
    /** What the exporter wrote on standard error, decoded as UTF-8 (usually empty). When a process it started holds standard error open, what arrived within a second of the run's end. */
    stderr: string;
    /** The build that ran. */
    bitness: Bitness;
}

/** The contacts as they arrive; iterating runs one export. */
export interface ContactStream extends AsyncIterable<Contact> {
    /** The trailer's counts, once an iteration has ended without an error; null before. */
    readonly counts: ExportCounts | null;
    readonly stderr: string;
    readonly bitness: Bitness | null;
}

export type ErrorKind = 'not-installed' | 'mapi' | 'unavailable' | 'incomplete' | 'time-limit' | 'usage' | 'failed';

export declare const Kind: Readonly<{
    notInstalled: 'not-installed';
    mapi: 'mapi';
    unavailable: 'unavailable';
    incomplete: 'incomplete';
    timeLimit: 'time-limit';
    usage: 'usage';
    failed: 'failed';
}>;

export declare class ContactExporterError extends Error {
    readonly name: 'ContactExporterError';
    readonly kind: ErrorKind;
    /** The exporter's standard error, decoded as UTF-8. */
    readonly stderr: string;
    /** The exit code, or null when the run did not end by itself. */
    readonly exitCode: number | string | null;
    /** The build that gave this error, where one ran. */
    readonly bitness: Bitness | null;
    /** For "incomplete": the records read before the output stopped being an export. */
    readonly recordsRead?: number;
}

/** Runs an export and reads it whole. */
export declare function readContacts(options?: Options): Promise<ExportResult>;
/** Runs an export and yields each record as it arrives, for large folders. */
export declare function iterateContacts(options?: Options): ContactStream;
/** The status query: Outlook's version text. */
export declare function outlookVersion(options?: Options): Promise<string>;

