"""The floor follows the exporter: on every profile the benchmark runs, at a
small size, contact-baseline.exe makes exactly the exporter's calls into
the stand-ins (object model, MAPI, name lookups), in the same order, and
walks every contact; and each profile takes the road and makes the calls
its row is named for. A floor that makes fewer calls than the exporter, or
other ones, would make every ratio of the benchmark a wrong one.

Runs the built programs under Wine through scripts/standin-run:
floor_calls_test.py WORK_FOLDER"""
import os
import sys
import unittest

REPO_ROOT = os.path.realpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(REPO_ROOT, "scripts", "lib"))
import bench  # noqa: E402

# Enough for a picture (the first contact has one) and an Exchange address
# on every contact.
CONTACTS = 12
WORK = os.path.join(REPO_ROOT, "build", "bench-tests")


class FloorCallsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(WORK, exist_ok=True)
        runner = bench.Bench(REPO_ROOT, WORK)
        cls.runs = {}
        for row in bench.ROWS:
            journaled = runner.profile_path(CONTACTS, row)
            cls.runs[row] = {program: (bench.calls_only(runner.journal(journaled, program)), runner.output())
                             for program in bench.PROGRAMS}

    def calls(self, row, program="exporter"):
        return self.runs[row][program][0]

    def test_the_floor_makes_the_exporters_calls_in_order(self):
        for row in bench.ROWS:
            with self.subTest(row=row):
                self.assertIsNone(bench.first_difference(self.calls(row), self.calls(row, "floor")))

    def test_both_walk_every_contact(self):
        for row, outputs in self.runs.items():
            with self.subTest(row=row):
                self.assertTrue(outputs["exporter"][1].endswith(
                    f"contatti trovati: {CONTACTS} / {CONTACTS}\r\n".encode()))
                self.assertEqual(outputs["floor"][1], f"{CONTACTS}\r\n".encode())

    def test_each_row_takes_the_road_it_is_named_for(self):
        reads = {bench.MAPI_OBJECT: "IMAPIProp.GetProps", bench.SESSION: "IMessage.GetProps",
                 bench.OBJECT_MODEL: "_ContactItem.Email1Address"}
        for row in bench.ROWS:
            with self.subTest(row=row):
                for road, call in reads.items():
                    self.assertEqual(self.calls(row).count(call), CONTACTS if road == row.road else 0, call)

    def test_the_fields_reach_both_programs(self):
        for row in bench.ROWS:
            for program in bench.PROGRAMS:
                with self.subTest(row=row, program=program):
                    calls = self.calls(row, program)
                    asked = row.variant == bench.WITH_FIELDS
                    self.assertEqual(calls.count("_ContactItem.LastModificationTime"), CONTACTS if asked else 0)
                    entry_ids = CONTACTS if asked or row.road == bench.SESSION else 0
                    self.assertEqual(calls.count("_ContactItem.EntryID"), entry_ids)

    # Every Exchange address is found, so that its whole lookup is measured:
    # by its original entry id on the session's road, by name elsewhere.
    def test_every_exchange_address_is_found(self):
        for row in bench.ROWS:
            if row.variant != bench.EXCHANGE:
                continue
            with self.subTest(row=row):
                calls = self.calls(row)
                by_entry_id = row.road == bench.SESSION
                self.assertEqual(calls.count("IMailUser.GetProps"), CONTACTS if by_entry_id else 0)
                self.assertEqual(calls.count("PropertyAccessor.GetProperty"), 0 if by_entry_id else CONTACTS)


if __name__ == "__main__":
    if len(sys.argv) > 1:
        WORK = sys.argv.pop(1)
    unittest.main()
