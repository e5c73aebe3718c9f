#!/usr/bin/env python3
"""Scale checks of the exporter, run by scripts/soak.

- 1,000 and 100,000 contacts: both exports complete, every record parses, and
  the exporter's peak memory with 100,000 contacts stays within a few
  megabytes of its peak with 1,000 (the export streams). The stand-in serves
  the folder from a profile of a hundred contacts repeated, in the exporter's
  process, so that its own memory does not grow with the folder either.
- One contact with a 20 MB picture: the export completes and the picture
  decodes back to the file's bytes.
"""

import base64
import json
import os
import random
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUN = os.path.join(REPO, "scripts", "standin-run")
ALLOWED_GROWTH = 8 * 1024 * 1024


UNIQUE_CONTACTS = 100


def contacts(count, seed):
    rng = random.Random(seed)
    names = ["Giulia", "Marco", "Chiara", "Fran\u00e7ois", "Ren\u00e9e", "Luca", "Ana", "Tom\u00e1\u0161"]
    items = []
    for index in range(count):
        first = rng.choice(names)
        last = "Rossi%d" % index
        items.append({
            "FullName": "%s %s" % (first, last),
            "FirstName": first,
            "LastName": last,
            "Email1Address": "%s.%d@example.org" % (first.lower(), index),
            "MobileTelephoneNumber": "+39 3%09d" % index,
            "BusinessTelephoneNumber": "02/%06d" % (index % 1000000),
        })
    return items


def with_server(profile, server):
    """Outlook in process ("inproc", the default) or in a process of its own ("local")."""
    if server != "inproc":
        profile["server"] = server
    return profile


def export(profile, folder, name):
    profile_path = os.path.join(folder, name + ".json")
    with open(profile_path, "w", encoding="utf-8") as file:
        json.dump(profile, file)
    out_path = os.path.join(folder, name + ".out")
    report = os.path.join(folder, name + ".memory")
    environment = dict(os.environ, STANDIN_MEMORY_REPORT=report)
    with open(out_path, "wb") as out:
        completed = subprocess.run([RUN, profile_path], stdout=out, stderr=subprocess.PIPE, env=environment)
    if completed.returncode != 0 or completed.stderr:
        raise SystemExit("%s: exit %d, stderr %r" % (name, completed.returncode, completed.stderr[:200]))
    with open(report, encoding="ascii") as file:
        memory = dict(line.split() for line in file if line.strip())
    return out_path, int(memory["peakWorkingSetBytes"]), int(memory["peakPagefileBytes"])


def check_records(out_path, expected):
    with open(out_path, "rb") as file:
        data = file.read()
    lines = data.split(b"\r\n")
    trailer = ("contatti trovati: %d / %d" % (expected, expected)).encode()
    if len(lines) != expected + 2 or lines[expected] != trailer or lines[-1] != b"":
        raise SystemExit("%s: expected %d records and the trailer" % (out_path, expected))
    for line in lines[:expected]:
        json.loads(line.decode("cp1252"))


def figures(**values):
    """One line of figures for the soak's table."""
    print("soak figures scale: " + " ".join("%s %d" % (name.replace("_", "-"), value)
                                            for name, value in values.items()), flush=True)


def scale(folder, server):
    peaks = {}
    for count in (1000, 100000):
        profile = with_server({"items": contacts(UNIQUE_CONTACTS, count),
                               "itemsRepeat": count // UNIQUE_CONTACTS}, server)
        out_path, working_set, pagefile = export(profile, folder, "contacts-%d" % count)
        check_records(out_path, count)
        peaks[count] = (working_set, pagefile)
        print("%7d contacts: peak working set %.1f MiB, peak private bytes %.1f MiB"
              % (count, working_set / 2**20, pagefile / 2**20), flush=True)
        figures(runs=1, contacts=count, peak_working_set=working_set, peak_private_bytes=pagefile)
    growth = peaks[100000][1] - peaks[1000][1]
    print("growth from 1,000 to 100,000 contacts: %.2f MiB" % (growth / 2**20))
    if growth > ALLOWED_GROWTH:
        raise SystemExit("the exporter's memory grows with the number of contacts")


def large_picture(folder, server):
    picture = os.path.join(folder, "large.jpg")
    data = random.Random(20).randbytes(20 * 1024 * 1024)
    with open(picture, "wb") as file:
        file.write(data)
    profile = with_server({"environment": {"TMP": "Z:" + folder.replace("/", "\\")},
                           "items": [{"FullName": "Large Picture", "HasPicture": True,
                                      "attachments": [{"path": "Z:" + picture.replace("/", "\\")}]}]}, server)
    out_path, working_set, pagefile = export(profile, folder, "large-picture")
    check_records(out_path, 1)
    with open(out_path, "rb") as file:
        record = json.loads(file.read().split(b"\r\n")[0])
    if base64.b64decode(record["image"]) != data:
        raise SystemExit("the 20 MB picture does not decode to the file's bytes")
    print("20 MB picture: decoded whole; peak working set %.1f MiB, peak private bytes %.1f MiB"
          % (working_set / 2**20, pagefile / 2**20))
    figures(runs=1, picture_bytes=len(data), peak_working_set=working_set, peak_private_bytes=pagefile)


def main():
    server = sys.argv[1] if len(sys.argv) > 1 else "inproc"
    with tempfile.TemporaryDirectory(prefix="contact-exporter-soak-") as folder:
        scale(folder, server)
        large_picture(folder, server)


if __name__ == "__main__":
    main()
