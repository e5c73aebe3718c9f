#!/usr/bin/env python3
"""Reads the contacts that contact-exporter.exe writes, as a calling program would.

    python read_contacts.py [options] COMMAND [ARG ...]

COMMAND starts the exporter: its path (contact-exporter.exe), or a launcher
followed by the launcher's own arguments (the exporter itself gets none in the
export, and "-h" for the status query). Examples:

    py read_contacts.py "C:\\Tools\\contact-exporter\\x64\\contact-exporter.exe"
    py read_contacts.py --status "C:\\Tools\\contact-exporter\\x64\\contact-exporter.exe"
    python3 examples/read_contacts.py scripts/standin-run samples/profile.json

The export's records are in the ANSI code page of the machine the exporter
runs on; on Windows that is the code page GetACP() names, and that is the
default here. Elsewhere (the exporter runs under Wine) the default is cp1252;
--encoding names another (cp932, for instance).

Exit codes: 0 the export was read whole; 1 the exporter could not run (its
reason is shown), or the status query answered "ko"; 2 wrong usage; 3 the
output is incomplete or malformed: no trailer line (an Outlook error stopped
the walk), a record that does not decode or parse, or counts that disagree.
Only the standard library is used.
"""

import argparse
import codecs
import json
import re
import subprocess
import sys
import tempfile
import threading
import time

TRAILER = re.compile(r"contatti trovati: (\d+) / (\d+)")

EXIT_CANNOT_RUN = 1
EXIT_INCOMPLETE = 3


class Incomplete(Exception):
    """The output is not a whole export."""


def default_encoding():
    """The encoding the exporter's records are in, as far as this machine tells."""
    if sys.platform == "win32":
        # The exporter writes in the system's ANSI code page, whatever this
        # Python's own settings (UTF-8 mode changes
        # locale.getpreferredencoding(), not the code page of other programs).
        import ctypes

        code_page = f"cp{ctypes.windll.kernel32.GetACP()}"
        try:
            codecs.lookup(code_page)
            return code_page
        except LookupError:
            return "mbcs"  # Windows' own converter for the ANSI code page
    return "cp1252"


def encoding_name(text):
    try:
        return codecs.lookup(text).name
    except LookupError:
        raise argparse.ArgumentTypeError(f"unknown encoding {text!r}") from None


def run(command, arguments, timeout, read_output):
    """Runs the exporter, reading its standard output with read_output meanwhile.

    Returns (exit code, standard error text, what read_output returned). A run
    still going after `timeout` seconds is killed and reported as stopped; its
    output is then left unread (None), since a process that the kill did not
    reach (a launcher's child) may hold the pipe open for a long time yet.
    """
    with tempfile.TemporaryFile() as errors:
        try:
            process = subprocess.Popen(command + arguments, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                       stderr=errors)
        except OSError as error:
            raise SystemExit(f"read_contacts: cannot start {command[0]}: {error}") from None
        output = []
        reader = threading.Thread(target=lambda: output.append(read_output(process.stdout)), daemon=True)
        reader.start()
        # Outlook can wait on a dialog (its programmatic-access prompt); a
        # caller should not wait for ever.
        if not wait_for_end(process, reader, timeout):
            process.kill()
            return process.wait(), "stopped: it did not finish in time (see --timeout)", None
        errors.seek(0)
        # The exporter's messages are ASCII.
        return process.returncode, errors.read().decode("ascii", errors="replace"), output[0]


def wait_for_end(process, reader, timeout):
    """Whether the process exited, and the reader reached the end of its output, within the time limit."""
    deadline = time.monotonic() + timeout
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        return False
    reader.join(max(0.0, deadline - time.monotonic()))
    return not reader.is_alive()


def status_query(command, timeout):
    code, message, answer = run(command, ["-h"], timeout, lambda stream: stream.read())
    # The status answer is UTF-8, with no line end.
    version = answer.decode("utf-8", errors="replace") if answer is not None else ""
    if code != 0 or answer is None or version == "ko":
        print("Outlook is not available" + (f": {message}" if message else ""), file=sys.stderr)
        return EXIT_CANNOT_RUN
    print(f"Outlook {version}")
    return 0


def read_whole_export(stream, encoding):
    """Reads the export from a binary stream; returns (records, items, problem).

    problem is None for a whole export; otherwise it says why the output is
    not one, and the rest of the stream has been read.
    """
    try:
        records, items = read_export(stream, encoding)
        return records, items, None
    except Incomplete as error:
        problem, records = error.args
        stream.read()  # let the exporter finish writing
        return records, 0, problem


def read_export(stream, encoding):
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
            line = raw[:-2].decode(encoding)
        except UnicodeDecodeError as error:
            raise Incomplete(f"line {len(records) + 1} is not valid {encoding} ({error.reason});"
                             " is --encoding the exporter's code page?", records) from None
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


def listing(record):
    addresses = ", ".join(address for address in record.get("emailaddrs", []) if address)
    name = record.get("displayname", "(no name)")
    return f"{name} <{addresses}>" if addresses else name


def main():
    parser = argparse.ArgumentParser(
        description="Runs contact-exporter.exe and reads its contacts.",
        epilog="COMMAND is the exporter's path, or a launcher and its arguments.")
    parser.add_argument("--encoding", type=encoding_name, default=None,
                        help="code page of the records (default: the ANSI code page on Windows, else cp1252)")
    parser.add_argument("--status", action="store_true", help="only ask for Outlook's version (the -h mode)")
    parser.add_argument("--list", action="store_true", help="print each contact's name and e-mail addresses")
    parser.add_argument("--timeout", type=float, default=600, help="seconds to wait for the exporter (600)")
    parser.add_argument("command", nargs=argparse.REMAINDER, help="the command that starts the exporter")
    options = parser.parse_args()
    if not options.command:
        parser.error("the command that starts the exporter is missing")
    # Names may hold any character; never fail on printing them.
    sys.stdout.reconfigure(errors="backslashreplace")

    if options.status:
        return status_query(options.command, options.timeout)

    encoding = options.encoding or default_encoding()
    code, message, export = run(options.command, [], options.timeout,
                                lambda stream: read_whole_export(stream, encoding))

    if code != 0 or export is None:
        # Exit code 1: an orderly end (Outlook not installed, MAPI not
        # loadable, out of memory), with the reason on standard error.
        print(f"read_contacts: the exporter ended with exit code {code}" + (f": {message}" if message else ""),
              file=sys.stderr)
        return EXIT_CANNOT_RUN
    if message:
        print(f"read_contacts: the exporter reported: {message}", file=sys.stderr)
    records, items, problem = export
    if problem:
        print(f"read_contacts: incomplete export ({len(records)} records read): {problem}", file=sys.stderr)
        return EXIT_INCOMPLETE

    if options.list:
        for record in records:
            print(listing(record))
    print(summary(records, items))
    return 0


if __name__ == "__main__":
    sys.exit(main())
