"""The benchmark behind scripts/bench: generates profiles, runs the exporter
and the baseline client through scripts/standin-run, and prints the tables."""
import base64
import json
import os
import subprocess
import sys
import time
from collections import namedtuple

PHONES = ["BusinessTelephoneNumber", "Business2TelephoneNumber", "BusinessFaxNumber", "HomeTelephoneNumber",
          "Home2TelephoneNumber", "HomeFaxNumber", "CompanyMainTelephoneNumber", "OtherTelephoneNumber",
          "PrimaryTelephoneNumber", "MobileTelephoneNumber"]
# A 2 KB picture; one contact in ten has one.
PICTURE = base64.b64encode(bytes((n * 7 + 3) % 256 for n in range(2048))).decode()
# The Exchange variant's second address is one of these colleagues' X.500
# paths, each in the address book with an SMTP address.
COLLEAGUES = 50
PROGRAMS = {"exporter": "contact-exporter.exe", "floor": "contact-baseline.exe"}
FIELDS = "id,modified"

# The roads to the e-mail addresses, and what in a profile selects each.
MAPI_OBJECT, SESSION, OBJECT_MODEL = "MAPI object", "session", "object model"
# The variants of the bench's profile: two SMTP addresses a contact; with a
# 2 KB picture on one contact in ten; with both record fields; with the
# second address an Exchange one.
PLAIN, PICTURES, WITH_FIELDS, EXCHANGE = "plain", "pictures 10%", FIELDS, "Exchange"

Row = namedtuple("Row", "server road variant")
# Outlook's MAPI objects never cross into another process: against the
# local server the session's road is where MAPI goes.
ROWS = [Row("inprocess", road, variant) for road in (MAPI_OBJECT, SESSION) for variant in
        (PLAIN, PICTURES, WITH_FIELDS, EXCHANGE)] + \
       [Row("inprocess", OBJECT_MODEL, variant) for variant in (PLAIN, PICTURES, WITH_FIELDS)] + \
       [Row("local", SESSION, variant) for variant in (PLAIN, PICTURES, WITH_FIELDS, EXCHANGE)] + \
       [Row("local", OBJECT_MODEL, variant) for variant in (PLAIN, PICTURES, WITH_FIELDS)]

# What the journal calls MAPI: the MAPIOBJECT's IMAPIProp and everything of
# the session (its logon, the session, the store, the messages, the address
# book and its entries), and the buffers freed. MAPIInitialize and
# MAPIUninitialize, once a run for both programs, are not counted.
MAPI_ENTRY_POINTS = ("MAPILogonEx", "MAPIFreeBuffer")
MAPI_INTERFACES = ("IMAPIProp.", "IMAPISession.", "IMsgStore.", "IMessage.", "IAddrBook.", "IMailUser.")


def call_kind(line):
    """"mapi", "model" (a call into Outlook's object model) or None for a
    journal line that is no such call (a name lookup, MAPI's start and end,
    the journal's own notes)."""
    if line in MAPI_ENTRY_POINTS or line.startswith(MAPI_INTERFACES):
        return "mapi"
    if "." in line and " " not in line and line != "Outlook.Application.create":
        return "model"
    return None


def journal_figures(lines, count):
    """Object-model calls per contact, MAPI calls per contact, GetIDsOfNames per run."""
    kinds = [call_kind(line) for line in lines]
    names = sum(1 for line in lines if line.startswith("GetIDsOfNames "))
    return kinds.count("model") / count, kinds.count("mapi") / count, names


def calls_only(lines):
    """The journal's calls and name lookups, in order, without its notes."""
    return [line for line in lines if call_kind(line) is not None or line.startswith("GetIDsOfNames ")]


def first_difference(exporter, floor):
    """None when both programs made the same calls in the same order;
    otherwise where they part: (index, the exporter's call, the floor's),
    a call missing on one side given as None."""
    for index in range(max(len(exporter), len(floor))):
        mine = exporter[index] if index < len(exporter) else None
        theirs = floor[index] if index < len(floor) else None
        if mine != theirs:
            return index, mine, theirs
    return None


def contact(n, variant):
    person = {"FullName": f"Contatto Numero {n}", "FirstName": f"Nome{n}", "LastName": f"Cognome{n}",
              "Email1Address": f"persona{n}@example.com", "Email1AddressType": "SMTP",
              "Email2Address": f"ufficio{n}@example.org", "Email2AddressType": "SMTP"}
    for k, phone in enumerate(PHONES):
        if (n + k) % 3 == 0:
            person[phone] = f"+39 02 {n:07d}{k}"
    if variant == PICTURES and n % 10 == 0:
        person["HasPicture"] = True
        person["attachments"] = [{"base64": PICTURE}]
    if variant == EXCHANGE:
        person["Email2Address"] = colleague(n % COLLEAGUES)
        person["Email2AddressType"] = "EX"
    return person


def colleague(k):
    return f"/o=Example/ou=Exchange Administrative Group/cn=Recipients/cn=collega{k}"


def profile(count, row, work):
    document = {"items": [contact(n, row.variant) for n in range(count)], "server": row.server,
                "environment": {"TMP": windows_path(work), "TEMP": windows_path(work)}}
    if row.variant == WITH_FIELDS:
        document["environment"]["CONTACT_EXPORTER_FIELDS"] = FIELDS
    if row.variant == EXCHANGE:
        document["addressBook"] = [{"address": colleague(k), "smtp": f"collega{k}@example.com"}
                                   for k in range(COLLEAGUES)]
    if row.road == OBJECT_MODEL:
        # Construction stops before the MAPI step: the e-mail properties instead of MAPIOBJECT.
        document["faults"] = [{"operation": "_Application.Version", "hresult": "0x80004005"}]
    if row.road == SESSION:
        # MAPI is loaded, but the first contact's MAPIOBJECT gives no
        # IMAPIProp, as Outlook's never do in another process (against the
        # local server they never do whatever the profile says).
        document["mapiObject"] = "unmarshallable"
    return document


class RunFailed(Exception):
    """A run of the exporter or the floor that did not end with exit code 0."""


def windows_path(path):
    return "Z:" + os.path.realpath(path).replace("/", "\\")


class Bench:
    def __init__(self, repo_root, work):
        self.standin_run = os.path.join(repo_root, "scripts", "standin-run")
        self.work = work
        self.written = set()

    def profile_path(self, count, row):
        """The profile's file, written once a run: one left by an earlier
        run may have been made by another version of this script."""
        name = f"{row.server}-{row.road}-{row.variant}-{count}.json".replace(" ", "_").replace(",", "+")
        path = os.path.join(self.work, name)
        if path not in self.written:
            self.written.add(path)
            with open(path + ".tmp", "w", encoding="utf-8") as file:
                json.dump(profile(count, row, self.work), file)
            os.replace(path + ".tmp", path)
        return path

    def run(self, profile_file, program, journal=None):
        """Wall seconds, peak working set and peak private bytes of one run."""
        report = os.path.join(self.work, "memory.txt")
        environment = dict(os.environ, STANDIN_RUN_PROGRAM=PROGRAMS[program], STANDIN_MEMORY_REPORT=report)
        environment.pop("OUTLOOK_STANDIN_JOURNAL", None)
        if journal:
            if os.path.exists(journal):
                os.remove(journal)
            environment["OUTLOOK_STANDIN_JOURNAL"] = journal
        err_path = os.path.join(self.work, "err.txt")
        with open(os.path.join(self.work, "out.txt"), "wb") as out, open(err_path, "wb") as err:
            started = time.monotonic()
            status = subprocess.run([self.standin_run, profile_file], env=environment, stdout=out,
                                    stderr=err).returncode
            wall = time.monotonic() - started
        if status != 0:
            with open(err_path, errors="replace") as err:
                raise RunFailed(f"{program} failed on {profile_file} (exit {status}): " + err.read())
        with open(report) as figures_file:
            figures = dict(line.split() for line in figures_file)
        return wall, int(figures["peakWorkingSetBytes"]), int(figures["peakPagefileBytes"])

    def output(self):
        """The last run's standard output."""
        with open(os.path.join(self.work, "out.txt"), "rb") as out:
            return out.read()

    def journal(self, profile_file, program):
        """The journal lines of one run."""
        path = os.path.join(self.work, "journal.txt")
        self.run(profile_file, program, path)
        with open(path, encoding="utf-8") as file:
            return file.read().split("\n")


def measure(bench, rows, sizes, local_sizes, journal_size):
    """The table's rows, the exporter-to-floor ratios, and for each
    configuration where the exporter's calls part from the floor's."""
    table, ratios, parity = [], [], []
    for row in rows:
        server_sizes = local_sizes if row.server == "local" else sizes
        counted = min(journal_size, server_sizes[0]) if row.server == "local" else journal_size
        empty = bench.profile_path(0, row)
        journaled = bench.profile_path(counted, row)
        per_contact = {}
        journals = {}
        for program in PROGRAMS:
            startup = min(bench.run(empty, program)[0] for _ in range(2))
            journals[program] = bench.journal(journaled, program)
            model, mapi, names = journal_figures(journals[program], counted)
            for count in server_sizes:
                wall, working_set, private = bench.run(bench.profile_path(count, row), program)
                per_contact[(program, count)] = max(wall - startup, 0.0) / count
                table.append((row, count, program, wall, count / max(wall - startup, 1e-9),
                              per_contact[(program, count)] * 1e6, model, mapi, names,
                              working_set / 2**20, private / 2**20))
                print(f"  ... {row.server} {row.road} {row.variant} {count} {program}: {wall:.1f} s",
                      file=sys.stderr, flush=True)
        for count in server_sizes:
            floor = per_contact[("floor", count)]
            ratios.append((row, count, per_contact[("exporter", count)] / floor if floor > 0 else float("nan")))
        exporter_calls, floor_calls = calls_only(journals["exporter"]), calls_only(journals["floor"])
        parity.append((row, counted, len(exporter_calls), first_difference(exporter_calls, floor_calls)))
    return table, ratios, parity


def costs_of_variants(table):
    """What the fields and an Exchange address add to a contact's calls, on
    each road: (server, road, variant, object-model calls, MAPI calls) over
    the plain profile's, from the exporter's journaled runs."""
    figures = {(row, program): (model, mapi) for row, _, program, _, _, _, model, mapi, *_ in table}
    added = []
    for (row, program), (model, mapi) in figures.items():
        plain = figures.get((Row(row.server, row.road, PLAIN), program))
        if program == "exporter" and row.variant in (WITH_FIELDS, EXCHANGE) and plain:
            added.append((row, model - plain[0], mapi - plain[1]))
    return added


def print_tables(table, ratios, parity):
    header = ("server", "e-mail road", "profile", "contacts", "program", "wall s", "contacts/s", "us/contact",
              "OM calls/contact", "MAPI calls/contact", "GetIDsOfNames/run", "peak WS MiB", "peak private MiB")
    print(" | ".join(header))
    print(" | ".join("---" for _ in header))
    for row, count, program, wall, rate, micro, model, mapi, names, working_set, private in table:
        print(f"{row.server} | {row.road} | {row.variant} | {count} | {program} | {wall:.2f} | {rate:.0f} | "
              f"{micro:.0f} | {model:.3f} | {mapi:.3f} | {names} | {working_set:.1f} | {private:.1f}")
    print()
    print("exporter / floor, time per contact")
    print("server | e-mail road | profile | contacts | ratio")
    print("--- | --- | --- | --- | ---")
    for row, count, ratio in ratios:
        print(f"{row.server} | {row.road} | {row.variant} | {count} | {ratio:.2f}")
    print()
    print("what the variant adds to a contact's calls (exporter, over the plain profile)")
    print("server | e-mail road | profile | OM calls/contact | MAPI calls/contact")
    print("--- | --- | --- | --- | ---")
    for row, model, mapi in costs_of_variants(table):
        print(f"{row.server} | {row.road} | {row.variant} | {model:+.3f} | {mapi:+.3f}")
    print()
    print("the exporter's calls against the floor's (journaled runs)")
    print("server | e-mail road | profile | contacts | calls")
    print("--- | --- | --- | --- | ---")
    for row, counted, calls, difference in parity:
        if difference is None:
            verdict = f"the same {calls} calls in the same order"
        else:
            index, mine, theirs = difference
            verdict = f"part at call {index + 1}: exporter {mine or '(none)'}, floor {theirs or '(none)'}"
        print(f"{row.server} | {row.road} | {row.variant} | {counted} | {verdict}")


def main(repo_root, work):
    sizes = [int(n) for n in os.environ.get("BENCH_SIZES", "1000 10000 100000").split()]
    local_sizes = [int(n) for n in os.environ.get("BENCH_LOCAL_SIZES", "200").split()]
    journal_size = int(os.environ.get("BENCH_JOURNAL_SIZE", "1000"))
    try:
        table, ratios, parity = measure(Bench(repo_root, work), ROWS, sizes, local_sizes, journal_size)
    except RunFailed as failure:
        sys.exit(f"bench: {failure}")
    print_tables(table, ratios, parity)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
