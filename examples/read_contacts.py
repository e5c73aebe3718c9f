#!/usr/bin/env python3
"""Reads the contacts that contact-exporter.exe writes, as a calling program would.

    python read_contacts.py [options] COMMAND [ARG ...]

COMMAND starts the exporter: its path (contact-exporter.exe), or a launcher
followed by the launcher's own arguments (the exporter itself gets none in the
export, and "-h" for the status query). Examples:

    py read_contacts.py "C:\\Tools\\contact-exporter\\x64\\contact-exporter.exe"
    py read_contacts.py --status "C:\\Tools\\contact-exporter\\x64\\contact-exporter.exe"
    python3 examples/read_contacts.py scripts/standin-run samples/profile.json

By default this client shows the exporter's raw contract: the records are in
the ANSI code page of the machine the exporter runs on; on Windows they are
decoded as Windows itself converts that code page (the "mbcs" codec).
Elsewhere (the exporter runs under Wine) the default is cp1252; --encoding
names another (cp932, for instance). A byte that the code page leaves
undefined stands for the character of the same value, as Windows converts it
(a name holding U+0081 arrives as the byte 0x81 on cp1252). --text utf-8 asks
the exporter for UTF-8 records instead (CONTACT_EXPORTER_TEXT), which lose no
character; --encoding then decodes nothing, and a line that is not UTF-8
makes the output malformed. --fields id,modified asks for each contact's
identity and last change (CONTACT_EXPORTER_FIELDS), checked here as the
exporter checks it. Either variable in this client's own environment is
replaced by what the options say.

--diagnostics asks the exporter for a line on standard error for each event
that ends its run or walk early (CONTACT_EXPORTER_DIAGNOSTICS=1), and shows
its standard error line by line whenever it wrote any.

Exit codes: 0 the export was read whole (with --status: Outlook answered);
1 the exporter could not be started, ended with an exit code other than 0
(its reason is shown), did not finish within the time limit or could not be
ended, or the status query answered "ko"; 2 wrong usage; 3 the output is
incomplete, malformed or could not be read: no trailer line (the walk
stopped early), a line without CR LF, a record that does not parse, counts
that disagree, or text after the trailer.
Only the standard library is used.
"""

import argparse
import codecs
import io
import json
import math
import os
import queue
import re
import subprocess
import sys
import tempfile
import threading
import time

TRAILER = re.compile(r"contatti trovati: (\d+) / (\d+)")

EXIT_CANNOT_RUN = 1
EXIT_INCOMPLETE = 3

STOPPED = "stopped: it did not finish in time (see --timeout)"
OUTPUT_NOT_ENDED = "stopped: it exited, but its output did not end in time (see --timeout)"
NOT_ENDED = "it did not finish in time (see --timeout), and could not be ended"
# How long an exporter that was told to stop may take to end.
STOP_GRACE_SECONDS = 5
# The longest wait that every platform's waits take (2**31 - 1 ms, some 24.8
# days); a longer time limit, inf included, is held to it.
LONGEST_WAIT_SECONDS = (2**31 - 1) / 1000
UNDEFINED_BYTES = "contact-exporter-undefined-bytes"
TEXT_MODES = ("ansi", "utf-8")
FIELD_NAMES = ("id", "modified")


class Incomplete(Exception):
    """The output is not a whole export."""


def default_encoding():
    """The encoding the exporter's records are in, as far as this machine tells."""
    # On Windows the exporter writes in the system's ANSI code page, whatever
    # this Python's own settings (UTF-8 mode changes
    # locale.getpreferredencoding(), not the code page of other programs);
    # "mbcs" decodes it with Windows' own converter, the exporter's exact inverse.
    return "mbcs" if sys.platform == "win32" else "cp1252"


def undefined_byte_as_its_character(error):
    """Decodes bytes the code page leaves undefined as Windows' MultiByteToWideChar
    does: each to the character of the same value (0x81 to U+0081)."""
    if not isinstance(error, UnicodeDecodeError):
        raise error
    return "".join(map(chr, error.object[error.start:error.end])), error.end


codecs.register_error(UNDEFINED_BYTES, undefined_byte_as_its_character)


def seconds(text):
    """--timeout's value: a number of seconds as float() reads it, held to the longest wait."""
    try:
        value = float(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"invalid float value: {text!r}") from None
    if math.isnan(value) or value < 0:
        raise argparse.ArgumentTypeError(f"not a number of seconds: {text!r}")
    return min(value, LONGEST_WAIT_SECONDS)


def text_mode(text):
    """--text's value: the exporter's CONTACT_EXPORTER_TEXT."""
    if text not in TEXT_MODES:
        raise argparse.ArgumentTypeError(f"invalid choice: {text!r} (choose from {', '.join(TEXT_MODES)})")
    return text


def field_list(text):
    """--fields' value: the exporter's CONTACT_EXPORTER_FIELDS, with the names in the order the
    exporter writes the members; empty asks for none, as the exporter takes it."""
    names = text.split(",") if text else []
    if not all(name in FIELD_NAMES for name in names):
        raise argparse.ArgumentTypeError(f"not a comma-separated list of the names id and modified: {text!r}")
    return ",".join(name for name in FIELD_NAMES if name in names)


def encoding_name(text):
    try:
        return codecs.lookup(text).name
    except LookupError:
        raise argparse.ArgumentTypeError(f"unknown encoding {text!r}") from None


class Run:
    """How one run of the exporter ended: its exit code (None when it could not
    be ended), its standard error text or why it was stopped, and what
    read_output made of standard output (None when stopped)."""

    def __init__(self, code, message, output=None, stopped=False):
        self.code = code
        self.message = message
        self.output = output
        self.stopped = stopped


class ReadingFailed(Exception):
    """Reading the output failed for a reason of the reader's own (not an incomplete export)."""


def run(command, arguments, timeout, read_output, environment=None):
    """Runs the exporter, reading its standard output with read_output meanwhile.

    The time limit is the exporter's: it is met when the exporter has exited
    and its output has ended within `timeout` seconds; reading what it wrote
    may take longer. A run still going after that is killed and reported as
    stopped; its output is then left unread, since a process that the kill did
    not reach (a launcher's child) may hold the pipe open for a long time yet.
    Raises ReadingFailed when read_output raised.
    """
    with tempfile.TemporaryFile() as errors:
        try:
            process = subprocess.Popen(command + arguments, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                       stderr=errors, env=environment)
        except OSError as error:
            raise SystemExit(f"read_contacts: cannot start {command[0]}: {error}") from None
        pipe = DrainedPipe(process.stdout)
        reading = InBackground(lambda: read_output(pipe.reader()))
        # Outlook can wait on a dialog (its programmatic-access prompt); a
        # caller should not wait for ever.
        if not ended_in_time(process, pipe, timeout):
            return stop(process)
        output = reading.result()
        errors.seek(0)
        # The contract's messages are ASCII; diagnostic lines are UTF-8.
        return Run(process.returncode, errors.read().decode("utf-8", errors="replace"), output)


def ended_in_time(process, pipe, timeout):
    """Whether the process exited, and its output ended, within the time limit."""
    deadline = time.monotonic() + timeout
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        return False
    return pipe.wait_for_end(max(0.0, deadline - time.monotonic()))


def stop(process):
    if process.poll() is not None:
        # A process it started holds the output open.
        return Run(process.returncode, OUTPUT_NOT_ENDED, stopped=True)
    try:
        process.kill()
    except OSError:
        pass  # not ours to end (elevated, or another user's): the wait tells
    try:
        return Run(process.wait(STOP_GRACE_SECONDS), STOPPED, stopped=True)
    except subprocess.TimeoutExpired:
        return Run(None, NOT_ENDED, stopped=True)


class DrainedPipe:
    """Reads a pipe to its end on a thread of its own, as fast as it is written,
    so that neither the writer waits for a slow reader nor the reader's pace
    counts against the writer's time limit. reader() reads what was drained."""

    def __init__(self, pipe):
        self._chunks = queue.SimpleQueue()
        self._thread = threading.Thread(target=self._drain, args=(pipe,), daemon=True)
        self._thread.start()

    def _drain(self, pipe):
        try:
            while chunk := pipe.read1(64 * 1024):
                self._chunks.put(chunk)
        finally:
            self._chunks.put(b"")

    def wait_for_end(self, timeout):
        self._thread.join(timeout)
        return not self._thread.is_alive()

    def reader(self):
        return io.BufferedReader(_QueueReader(self._chunks))


class _QueueReader(io.RawIOBase):
    def __init__(self, chunks):
        self._chunks = chunks
        self._pending = b""
        self._ended = False

    def readable(self):
        return True

    def readinto(self, buffer):
        if not self._pending and not self._ended:
            self._pending = self._chunks.get()
            self._ended = not self._pending
        count = min(len(buffer), len(self._pending))
        buffer[:count] = self._pending[:count]
        self._pending = self._pending[count:]
        return count


class InBackground:
    """Runs a function on a thread of its own; result() returns what it returned."""

    def __init__(self, function):
        self._outcome = None
        self._thread = threading.Thread(target=self._run, args=(function,), daemon=True)
        self._thread.start()

    def _run(self, function):
        try:
            self._outcome = (function(), None)
        except BaseException as error:  # reported by result(), on the caller's thread
            self._outcome = (None, error)

    def result(self):
        self._thread.join()
        value, error = self._outcome
        if error is not None:
            raise ReadingFailed(f"{type(error).__name__}: {error}") from error
        return value


def status_query(command, timeout, diagnostics, environment):
    status = run(command, ["-h"], timeout, lambda stream: stream.read(), environment)
    # The status answer is UTF-8, with no line end.
    version = status.output.decode("utf-8", errors="replace") if status.output is not None else ""
    if status.code != 0 or status.output is None or version == "ko":
        tell("Outlook is not available", status.message, diagnostics and not status.stopped)
        return EXIT_CANNOT_RUN
    print(f"Outlook {version}")
    return 0


def line_decoder(text, encoding):
    """How a line's bytes become text: UTF-8 when the exporter was asked for it
    (it writes nothing else then, so bytes that are not UTF-8 raise
    UnicodeDecodeError), otherwise the code page as Windows converts it."""
    if text == "utf-8":
        return lambda raw: raw.decode("utf-8")
    return lambda raw: raw.decode(encoding, errors=UNDEFINED_BYTES)


def read_whole_export(stream, decode):
    """Reads the export from a binary stream; returns (records, items, problem).

    problem is None for a whole export; otherwise it says why the output is
    not one, and the rest of the stream has been read.
    """
    try:
        records, items = read_export(stream, decode)
        return records, items, None
    except Incomplete as error:
        problem, records = error.args
        # What is left is read and dropped, a piece at a time.
        while stream.read(65536):
            pass
        return records, 0, problem


def read_export(stream, decode):
    """Reads the export from a binary stream; returns (records, items in the folder).

    Raises Incomplete, carrying the records read so far, when the output is
    not a whole export.
    """
    records = []
    empty_line_seen = False
    trailer = None
    for raw in stream:
        if trailer is not None:
            raise Incomplete("text after the trailer line", records)
        if not raw.endswith(b"\n"):
            raise Incomplete("the output stops inside a record: no trailer line", records)
        if not raw.endswith(b"\r\n"):
            raise Incomplete(f"line {len(records) + 1} does not end in CR LF", records)
        try:
            line = decode(raw[:-2])
        except UnicodeDecodeError:
            raise Incomplete(f"line {len(records) + 1} is not UTF-8", records) from None
        match = TRAILER.fullmatch(line)
        if match:
            trailer = int(match.group(1)), int(match.group(2))
            continue
        if empty_line_seen:
            raise Incomplete("the empty line is not followed by the trailer line", records)
        if line == "" and not records:
            empty_line_seen = True  # no record: the trailer follows an empty line
            continue
        try:
            record = json.loads(line)
        except ValueError as error:
            raise Incomplete(f"record {len(records) + 1} is not JSON: {error}", records) from None
        if not isinstance(record, dict):
            raise Incomplete(f"record {len(records) + 1} is not a JSON object", records)
        records.append(record)

    if trailer is None:
        raise Incomplete("no trailer line: an Outlook error stopped the walk", records)
    written, items = trailer
    if written != len(records):
        raise Incomplete(f"the trailer counts {written} records, the output holds {len(records)}", records)
    if written > items:
        raise Incomplete(f"the trailer counts {written} records of {items} items", records)
    return records, items


def summary(records, items):
    with_email = sum(1 for record in records if any(record.get("emailaddrs", [])))
    with_phones = sum(1 for record in records if record.get("phones"))
    with_pictures = sum(1 for record in records if "image" in record)
    return (f"contacts: {len(records)}\n"
            f"with e-mail: {with_email}\n"
            f"with phones: {with_phones}\n"
            f"with pictures: {with_pictures}\n"
            f"items in the folder: {items}")


def write_canonical(records):
    """Each record on a line of its own, in one form that other readers can
    compare theirs with byte for byte: ASCII, members in the exporter's order,
    no spaces, LF line ends on every system."""
    sys.stdout.flush()
    for record in records:
        line = json.dumps(record, ensure_ascii=True, separators=(",", ":"))
        sys.stdout.buffer.write(line.encode("ascii") + b"\n")
    sys.stdout.buffer.flush()


def exporter_environment(options):
    """The exporter's environment: this one, with the diagnostics asked for on
    request, and the record options set or removed as the options say."""
    environment = dict(os.environ, CONTACT_EXPORTER_TEXT=options.text)
    if options.diagnostics:
        environment["CONTACT_EXPORTER_DIAGNOSTICS"] = "1"
    if options.fields:
        environment["CONTACT_EXPORTER_FIELDS"] = options.fields
    else:
        environment.pop("CONTACT_EXPORTER_FIELDS", None)
    return environment


def tell(verdict, message, as_lines):
    """Prints a verdict on standard error with the exporter's message after it:
    on the same line, or below it line by line (the diagnostics' form)."""
    if not as_lines:
        print(verdict + detail(message), file=sys.stderr)
        return
    print(verdict, file=sys.stderr)
    show_standard_error(message)


def show_standard_error(message):
    lines = re.split(r"\r?\n", message)
    if lines[-1] == "":
        lines.pop()
    if lines:
        print("read_contacts: the exporter's standard error:", *lines, sep="\n", file=sys.stderr)


def detail(message):
    return f": {message}" if message else ""


def listing(record):
    addresses = ", ".join(address for address in record.get("emailaddrs", []) if address)
    name = record.get("displayname", "(no name)")
    return f"{name} <{addresses}>" if addresses else name


def main():
    parser = argparse.ArgumentParser(
        description="Runs contact-exporter.exe and reads its contacts.",
        epilog="COMMAND is the exporter's path, or a launcher and its arguments.")
    parser.add_argument("--encoding", type=encoding_name, default=None,
                        help="code page of ANSI records (default: the ANSI code page on Windows, else cp1252)")
    parser.add_argument("--text", type=text_mode, default="ansi",
                        help="the records' text: ansi (the default, the exporter's raw contract) or utf-8")
    parser.add_argument("--fields", type=field_list, default="",
                        help="members to add to each record: a comma-separated list of id and modified")
    parser.add_argument("--status", action="store_true", help="only ask for Outlook's version (the -h mode)")
    parser.add_argument("--list", action="store_true", help="print each contact's name and e-mail addresses")
    parser.add_argument("--json", action="store_true",
                        help="print each record as canonical JSON, one a line, instead of the summary")
    parser.add_argument("--diagnostics", action="store_true",
                        help="ask the exporter why a run or walk ended early, and show its standard error")
    parser.add_argument("--timeout", type=seconds, default=600, help="seconds to wait for the exporter (600)")
    parser.add_argument("command", nargs=argparse.REMAINDER, help="the command that starts the exporter")
    options = parser.parse_args()
    if not options.command:
        parser.error("the command that starts the exporter is missing")
    # Names may hold any character; never fail on printing them.
    sys.stdout.reconfigure(errors="backslashreplace")

    environment = exporter_environment(options)
    if options.status:
        return status_query(options.command, options.timeout, options.diagnostics, environment)

    decode = line_decoder(options.text, options.encoding or default_encoding())
    try:
        export = run(options.command, [], options.timeout, lambda stream: read_whole_export(stream, decode),
                     environment)
    except ReadingFailed as error:
        print(f"read_contacts: the export could not be read: {error}", file=sys.stderr)
        return EXIT_INCOMPLETE

    if export.code is None:
        print(f"read_contacts: the exporter is still running: {export.message}", file=sys.stderr)
        return EXIT_CANNOT_RUN
    if export.code != 0 or export.stopped:
        # Exit code 1: an orderly end (Outlook not installed, MAPI not
        # loadable, out of memory), with the reason on standard error.
        tell(f"read_contacts: the exporter ended with exit code {export.code}", export.message,
             options.diagnostics and not export.stopped)
        return EXIT_CANNOT_RUN
    if export.message and not options.diagnostics:
        print(f"read_contacts: the exporter reported: {export.message}", file=sys.stderr)
    records, items, problem = export.output
    if problem:
        print(f"read_contacts: incomplete export ({len(records)} records read): {problem}", file=sys.stderr)
    if options.diagnostics:
        show_standard_error(export.message)
    if problem:
        return EXIT_INCOMPLETE

    if options.json:
        write_canonical(records)
        return 0
    if options.list:
        for record in records:
            print(listing(record))
    print(summary(records, items))
    return 0


if __name__ == "__main__":
    sys.exit(main())
