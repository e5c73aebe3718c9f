#!/usr/bin/env python3
"""The soak's table, from the logs of one scripts/soak run.

    summary.py LOG_FOLDER TOTAL_SECONDS BASE_SEED

Every check prints its figures as lines of the form
    soak figures PART: NAME VALUE [NAME VALUE ...]
(CTest's verbose output puts the test's number and a colon in front). The
random checks also print a line for each profile, starting with its seed:
"seed N (code page C): R records checked ...", "utf-8 seed N (...): ...",
"local-server seed N (...): ...", "departure seed N (...): ..." and
"session-fault seed N (...): ...". A row's result comes from CTest's
verdicts on its tests in the logs (the scale checks, not CTest's, leave
LOG_FOLDER/scale.status). Prints the base seed, the table in Markdown, each
random check's seeds, and the machine the figures were measured on.
"""

import collections
import datetime
import glob
import os
import re
import subprocess
import sys
import textwrap

FIGURES = re.compile(r"soak figures ([a-z0-9-]+): (.*)$")
# The random checks' lines for each profile: what the line starts with, and
# the check as the summary names it.
SEED = re.compile(r"(?:^|: )(utf-8 |local-server |departure |session-fault |)seed (\d+) \(([^)]*)\)")
SEEDS = [
    # what the line starts with, the code page it names or None, the check
    ("", "1252", "random profiles on code page 1252"),
    ("", "932", "random profiles on code page 932"),
    ("utf-8 ", "1252", "random profiles in UTF-8, code page 1252"),
    ("utf-8 ", "932", "random profiles in UTF-8, code page 932"),
    ("local-server ", None, "the session's road, local server"),
    ("departure ", None, "Outlook going away"),
    ("session-fault ", None, "the MAPI session failing"),
]
VERDICT = re.compile(r"Test +#\d+: (\S+).*?(Passed|\*\*\*Failed|\*\*\*Timeout|\*\*\*Skipped|Exception|Not Run)")

ROWS = [
    # part, what the row says, the tests whose verdicts are the row's
    ("random-1252", "random profiles, code page 1252, three e-mail roads", r"SafeOutputVolume\..*Shard[0246]$"),
    ("random-932", "random profiles, code page 932, three e-mail roads", r"SafeOutputVolume\..*Shard[1357]$"),
    ("random-utf8-1252", "random profiles in UTF-8 with id and modified, code page 1252, three e-mail roads",
     r"SafeOutputUtf8Volume\..*Shard[0246]$"),
    ("random-utf8-932", "random profiles in UTF-8 with id and modified, code page 932, three e-mail roads",
     r"SafeOutputUtf8Volume\..*Shard[1357]$"),
    ("local-session", "random profiles on the session's road, every prompt denied, local server",
     r"SafeOutputLocalServer\."),
    ("session-faults-inprocess", "the exporter's MAPI session failing at random points, in process",
     r"SessionFailsAtRandom\..*InProcess$"),
    ("session-faults-local", "the exporter's MAPI session failing at random points, local server",
     r"SessionFailsAtRandom\..*LocalServer$"),
    ("fault-sweep-inprocess", "full fault sweep, in process", r"/FaultSweep\."),
    ("fault-sweep-local", "full fault sweep, local server", r"/FaultSweepLocalServer\."),
    ("busy-inprocess", "busy before every operation, in process", r"BusySweep\..*InProcess$"),
    ("busy-local", "busy before every operation, local server", r"BusySweep\..*LocalServer$"),
    ("goes-away-inprocess", "Outlook going away at random points, in process",
     r"OutlookGoesAwayAtRandom\..*InProcess$"),
    ("goes-away-local", "Outlook going away at random points, local server", r"OutlookGoesAwayAtRandom\..*LocalServer$"),
    ("side-by-side", "eight exporters side by side, two pictures", r"^SideBySide\."),
    ("scale", "scale: 1,000 and 100,000 contacts, a 20 MB picture", None),
]


def number(text):
    return float(text) if "." in text else int(text)


def read_figures(folder):
    figures = collections.defaultdict(list)
    seeds = collections.defaultdict(set)
    verdicts = {}
    for path in sorted(glob.glob(os.path.join(folder, "*.log"))):
        with open(path, encoding="utf-8", errors="replace") as log:
            for line in log:
                found = FIGURES.search(line)
                if found:
                    words = found.group(2).split()
                    figures[found.group(1)].append({words[at]: number(words[at + 1])
                                                    for at in range(0, len(words) - 1, 2)})
                seed = SEED.search(line)
                if seed:
                    code_page = re.match(r"code page (\d+)", seed.group(3))
                    seeds[(seed.group(1), code_page.group(1) if code_page else None)].add(int(seed.group(2)))
                verdict = VERDICT.search(line)
                if verdict:
                    verdicts[verdict.group(1)] = verdict.group(2).strip("*")
    return figures, seeds, verdicts


def result_of(folder, verdicts, tests):
    if tests is None:
        path = os.path.join(folder, "scale.status")
        if not os.path.exists(path):
            return "not run"
        with open(path, encoding="ascii") as file:
            return "passed" if file.read().strip() == "passed" else "FAILED"
    mine = [verdict for name, verdict in verdicts.items() if re.search(tests, name)]
    failed = sum(1 for verdict in mine if verdict != "Passed")
    if not mine:
        return "not run"
    return "passed" if not failed else "FAILED (%d of %d tests)" % (failed, len(mine))


def total(lines, name):
    return sum(line.get(name, 0) for line in lines)


def count(value):
    return "{:,}".format(int(value)) if value else ""


def mib(value):
    return "%.1f MiB" % (value / 2**20)


def machine():
    def output(command):
        try:
            return subprocess.run(command, capture_output=True, text=True, check=False).stdout.strip()
        except OSError:
            return ""
    model = ""
    for line in output(["lscpu"]).splitlines():
        if line.startswith("Model name:"):
            model = line.split(":", 1)[1].strip()
    wine = output(["/usr/lib/wine/wine64", "--version"]) or output(["wine", "--version"])
    return "%s cores (%s), %s" % (os.cpu_count(), model or "unknown processor", wine or "Wine")


def ranges(seeds):
    """Sorted seeds, each run of seeds one or two apart written as its ends
    ("1000-1424 every 2nd")."""
    parts = []
    at = 0
    while at < len(seeds):
        step = seeds[at + 1] - seeds[at] if at + 1 < len(seeds) else 0
        end = at
        if step in (1, 2):
            while end + 1 < len(seeds) and seeds[end + 1] - seeds[end] == step:
                end += 1
        if end - at >= 2:
            parts.append("%d-%d%s" % (seeds[at], seeds[end], " every 2nd" if step == 2 else ""))
            at = end + 1
        else:
            parts.append(str(seeds[at]))
            at += 1
    return ", ".join(parts)


def main():
    folder, seconds, base_seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    figures, seeds, verdicts = read_figures(folder)

    print("Random profiles from base seed %d (scripts/soak --seed N checks the profile of seed N again):"
          % base_seed)
    print()

    print("| check | result | runs | faults injected | records checked | busy rejections absorbed |")
    print("|---|---|---:|---:|---:|---:|")
    sums = collections.Counter()
    for part, title, tests in ROWS:
        lines = figures.get(part, [])
        row = {name: total(lines, name) for name in ("runs", "faults", "records", "rejections")}
        sums.update(row)
        print("| %s | %s | %s | %s | %s | %s |" % (title, result_of(folder, verdicts, tests), count(row["runs"]),
                                                  count(row["faults"]), count(row["records"]),
                                                  count(row["rejections"])))
    print("| **all** | | %s | %s | %s | %s |" % tuple(
        "**%s**" % count(sums[name]) if sums[name] else "" for name in ("runs", "faults", "records", "rejections")))
    print()

    scale = figures.get("scale", [])
    memory = {line.get("contacts", "picture"): line for line in scale}
    if memory:
        print("| peak memory of the exporter | working set | private bytes |")
        print("|---|---:|---:|")
        for key, title in ((1000, "1,000 contacts"), (100000, "100,000 contacts"),
                           ("picture", "one contact with a 20 MB picture")):
            if key in memory:
                print("| %s | %s | %s |" % (title, mib(memory[key]["peak-working-set"]),
                                            mib(memory[key]["peak-private-bytes"])))
        print()

    made_again = sum(total(lines, "made-again") for lines in figures.values())
    print("Runs that Wine did not start or end as it should, made again: %d." % made_again if made_again
          else "Wine started and ended every run as it should.")
    for line in figures.get("side-by-side", []):
        print("Side by side: a run alone %.2f s; the slowest of eight at once %.2f s, %.1f times a run alone "
              "(at most 8)." % (line["alone"], line["slowest"], line["ratio"]))
    for start, code_page, title in SEEDS:
        mine = set()
        for (line_start, line_code_page), found in seeds.items():
            if line_start == start and (code_page is None or line_code_page == code_page):
                mine |= found
        if mine:
            print(textwrap.fill("Seeds, %s: %s" % (title, ranges(sorted(mine))), width=100,
                                subsequent_indent="    "))
    print("Measured %s on %s; the whole soak took %d min %02d s."
          % (datetime.date.today().isoformat(), machine(), seconds // 60, seconds % 60))


if __name__ == "__main__":
    main()
