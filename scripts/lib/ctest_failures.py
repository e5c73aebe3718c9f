#!/usr/bin/env python3
"""The failed tests of build folders' last CTest runs, and the end of each
one's output.

    ctest_failures.py [--lines N] [--budget M] BUILD_FOLDER...

Reads each BUILD_FOLDER/Testing/Temporary/LastTestsFailed.log (the failed tests'
names, as "NUMBER:NAME") and LastTest.log (every test's output, between
"Output:" and "<end of output>" in the section that starts "K/T Testing:
NAME"). For each failed test prints its name and the last lines of its
output: at most N (default 40), fewer when there are many failures, so that
all of them take about M lines (default 80), and at least 5 each (past M / 6
failures, the first M / 6 alone). Long lines are cut and control characters
shown as \\xNN, so that a test's binary output cannot garble the terminal. Prints nothing when no test failed.
CTest leaves LastTestsFailed.log behind when a later run passes, so a caller
removes it before the run it reports.
"""

import argparse
import collections
import os
import re
import sys

TESTING = re.compile(r"^\d+/\d+ Testing: (.*)$")
LONGEST_LINE = 200
FEWEST_LINES = 5


def failed_names(folder):
    path = os.path.join(folder, "Testing", "Temporary", "LastTestsFailed.log")
    if not os.path.exists(path):
        return []
    names = []
    with open(path, encoding="utf-8", errors="replace") as file:
        for line in file:
            line = line.rstrip("\r\n")
            number, colon, name = line.partition(":")
            if colon and number.strip().isdigit() and name:
                names.append(name)
    return names


def outputs(folder, wanted, keep):
    """The last `keep` output lines of each wanted test in LastTest.log, and
    how many lines it wrote, read line by line (the log can be large)."""
    path = os.path.join(folder, "Testing", "Temporary", "LastTest.log")
    found = {}
    if not os.path.exists(path):
        return found
    current = None  # the test whose section this is
    output = None   # its output so far, while inside it
    count = 0
    previous = ""
    pending_end = False  # "<end of output>", which ends it if "Test time =" follows
    with open(path, "rb") as file:
        for raw in file:
            line = raw.decode("utf-8", errors="replace").rstrip("\r\n")
            if output is not None:
                if pending_end:
                    pending_end = False
                    if line.startswith("Test time ="):
                        found[current] = (list(output), count)
                        current, output = None, None
                        continue
                    output.append("<end of output>")  # the test's own line
                    count += 1
                if line == "<end of output>":
                    pending_end = True
                else:
                    output.append(line)
                    count += 1
                continue
            testing = TESTING.match(line)
            if testing:
                current = testing.group(1)
            elif previous == "Output:" and line.startswith("---") and current in wanted:
                output = collections.deque(maxlen=keep)
                count = 0
            previous = line
    return found


def printable(line):
    """The line with control characters as \\xNN, cut at LONGEST_LINE."""
    shown = "".join(char if char == "\t" or char.isprintable() else
                    "\\x%02x" % ord(char) if ord(char) < 0x100 else "\\u%04x" % ord(char) for char in line)
    if len(shown) > LONGEST_LINE:
        shown = shown[:LONGEST_LINE] + " ... (%d more characters)" % (len(shown) - LONGEST_LINE)
    return shown


def show(names, found, each):
    for name in names:
        if name not in found:
            print("-- %s: no output in LastTest.log (not run?)" % name)
            continue
        output, count = found[name]
        while output and not output[-1].strip():
            output.pop()
            count -= 1
        if not output:
            print("-- %s: no output" % name)
            continue
        shown = output[-each:]
        if count > len(shown):
            print("-- %s: the last %d of its %d lines of output" % (name, len(shown), count))
        else:
            print("-- %s: its output" % name)
        for line in shown:
            print("   " + printable(line))


def main():
    parser = argparse.ArgumentParser(description="The failed tests of build folders' last CTest runs.")
    parser.add_argument("folders", nargs="+", metavar="folder")
    parser.add_argument("--lines", type=int, default=40, help="at most this many lines of each test's output")
    parser.add_argument("--budget", type=int, default=80, help="about this many lines of output in all")
    arguments = parser.parse_args()

    failed = [(folder, failed_names(folder)) for folder in arguments.folders]
    total = sum(len(names) for _, names in failed)
    if not total:
        return 0
    each = max(FEWEST_LINES, min(arguments.lines, arguments.budget // total))
    # With many failures, the first few: past them the summary would not fit.
    room = max(1, arguments.budget // (FEWEST_LINES + 1))
    for folder, names in failed:
        if room <= 0:
            print("-- and %d more failed tests in %s" % (len(names), folder))
            continue
        shown, left = names[:room], names[room:]
        room -= len(shown)
        # A few more, for the blank lines at the end that are left out.
        show(shown, outputs(folder, set(shown), each + 5), each)
        if left:
            print("-- and %d more failed tests, whose output is in %s" %
                  (len(left), os.path.join(folder, "Testing", "Temporary", "LastTest.log")))
    return 0


if __name__ == "__main__":
    sys.exit(main())
