"""The benchmark behind scripts/bench: generates profiles, runs the exporter
and the baseline client through scripts/standin-run, and prints the table."""
import base64
import json
import os
import subprocess
import sys
import time

repo_root, work = sys.argv[1], sys.argv[2]
standin_run = os.path.join(repo_root, "scripts", "standin-run")
sizes = [int(n) for n in os.environ.get("BENCH_SIZES", "1000 10000 100000").split()]
local_sizes = [int(n) for n in os.environ.get("BENCH_LOCAL_SIZES", "200").split()]
journal_size = int(os.environ.get("BENCH_JOURNAL_SIZE", "1000"))

PHONES = ["BusinessTelephoneNumber", "Business2TelephoneNumber", "BusinessFaxNumber", "HomeTelephoneNumber",
          "Home2TelephoneNumber", "HomeFaxNumber", "CompanyMainTelephoneNumber", "OtherTelephoneNumber",
          "PrimaryTelephoneNumber", "MobileTelephoneNumber"]
# A 2 KB picture; one contact in ten has one.
PICTURE = base64.b64encode(bytes((n * 7 + 3) % 256 for n in range(2048))).decode()
PROGRAMS = {"exporter": "contact-exporter.exe", "floor": "contact-baseline.exe"}


def profile_path(count, pictures, road, server):
    name = f"{server}-{road}-{'pictures' if pictures else 'plain'}-{count}.json"
    path = os.path.join(work, name)
    if os.path.exists(path):
        return path
    items = []
    for n in range(count):
        contact = {"FullName": f"Contatto Numero {n}", "FirstName": f"Nome{n}", "LastName": f"Cognome{n}",
                   "Email1Address": f"persona{n}@example.com", "Email1AddressType": "SMTP",
                   "Email2Address": f"ufficio{n}@example.org", "Email2AddressType": "SMTP"}
        for k, phone in enumerate(PHONES):
            if (n + k) % 3 == 0:
                contact[phone] = f"+39 02 {n:07d}{k}"
        if pictures and n % 10 == 0:
            contact["HasPicture"] = True
            contact["attachments"] = [{"base64": PICTURE}]
        items.append(contact)
    profile = {"items": items, "server": server,
               "environment": {"TMP": windows_path(work), "TEMP": windows_path(work)}}
    if road == "object model":
        # Construction stops before the MAPI step: the e-mail properties instead of MAPIOBJECT.
        profile["faults"] = [{"operation": "_Application.Version", "hresult": "0x80004005"}]
    if road == "fallback":
        # MAPI is loaded, but the MAPI objects give no IMAPIProp, as Outlook's
        # do in another process: one MAPIOBJECT, then the e-mail properties.
        profile["mapiObject"] = "unmarshallable"
    with open(path + ".tmp", "w", encoding="utf-8") as file:
        json.dump(profile, file)
    os.replace(path + ".tmp", path)
    return path


def windows_path(path):
    return "Z:" + os.path.realpath(path).replace("/", "\\")


def run(profile, program, journal=None):
    """Wall seconds, peak working set and peak private bytes of one run."""
    report = os.path.join(work, "memory.txt")
    environment = dict(os.environ, STANDIN_RUN_PROGRAM=PROGRAMS[program], STANDIN_MEMORY_REPORT=report)
    environment.pop("OUTLOOK_STANDIN_JOURNAL", None)
    if journal:
        if os.path.exists(journal):
            os.remove(journal)
        environment["OUTLOOK_STANDIN_JOURNAL"] = journal
    with open(os.path.join(work, "out.txt"), "wb") as out, open(os.path.join(work, "err.txt"), "wb") as err:
        started = time.monotonic()
        status = subprocess.run([standin_run, profile], env=environment, stdout=out, stderr=err).returncode
        wall = time.monotonic() - started
    if status != 0:
        sys.exit(f"bench: {program} failed on {profile} (exit {status}): "
                 + open(os.path.join(work, "err.txt"), errors="replace").read())
    figures = dict(line.split() for line in open(report))
    return wall, int(figures["peakWorkingSetBytes"]), int(figures["peakPagefileBytes"])


def calls(profile, program, count):
    """Object-model calls per contact, MAPI calls per contact, GetIDsOfNames per run."""
    journal = os.path.join(work, "journal.txt")
    run(profile, program, journal)
    lines = open(journal, encoding="utf-8").read().split("\n")
    names = sum(1 for line in lines if line.startswith("GetIDsOfNames "))
    mapi = sum(1 for line in lines if line.startswith("IMAPIProp.") or line == "MAPIFreeBuffer")
    model = sum(1 for line in lines if "." in line and " " not in line and not line.startswith("IMAPIProp.")
                and line != "Outlook.Application.create")
    return model / count, mapi / count, names


rows = []
ratios = []
for server, server_sizes in (("inprocess", sizes), ("local", local_sizes)):
    for road in ("MAPI", "object model", "fallback"):
        for pictures in (False, True):
            counted = min(journal_size, server_sizes[0]) if server == "local" else journal_size
            empty = profile_path(0, pictures, road, server)
            journaled = profile_path(counted, pictures, road, server)
            per_program = {}
            for program in PROGRAMS:
                startup = min(run(empty, program)[0] for _ in range(2))
                model, mapi, names = calls(journaled, program, counted)
                for count in server_sizes:
                    wall, working_set, private = run(profile_path(count, pictures, road, server), program)
                    per_contact = max(wall - startup, 0.0) / count
                    per_program[(program, count)] = per_contact
                    rows.append((server, road, "10%" if pictures else "none", count, program, wall,
                                 count / max(wall - startup, 1e-9), per_contact * 1e6, model, mapi, names,
                                 working_set / 2**20, private / 2**20))
                    print(f"  ... {server} {road} {'pictures' if pictures else 'plain'} {count} {program}: "
                          f"{wall:.1f} s", file=sys.stderr, flush=True)
            for count in server_sizes:
                floor = per_program[("floor", count)]
                ratios.append((server, road, "10%" if pictures else "none", count,
                               per_program[("exporter", count)] / floor if floor > 0 else float("nan")))

header = ("server", "e-mail road", "pictures", "contacts", "program", "wall s", "contacts/s", "us/contact",
          "OM calls/contact", "MAPI calls/contact", "GetIDsOfNames/run", "peak WS MiB", "peak private MiB")
print(" | ".join(header))
print(" | ".join("---" for _ in header))
for row in rows:
    server, road, pictures, count, program, wall, rate, micro, model, mapi, names, working_set, private = row
    print(f"{server} | {road} | {pictures} | {count} | {program} | {wall:.2f} | {rate:.0f} | {micro:.0f} | "
          f"{model:.2f} | {mapi:.2f} | {names} | {working_set:.1f} | {private:.1f}")
print()
print("exporter / floor, time per contact")
print("server | e-mail road | pictures | contacts | ratio")
print("--- | --- | --- | --- | ---")
for server, road, pictures, count, ratio in ratios:
    print(f"{server} | {road} | {pictures} | {count} | {ratio:.2f}")
