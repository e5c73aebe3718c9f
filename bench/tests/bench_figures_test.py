"""The benchmark's arithmetic: which journal lines are calls of which kind,
the figures per contact, where two programs' calls part, and what each
row's profile asks of the stand-ins."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib"))
import bench  # noqa: E402

# A session's run of two contacts, the second with an Exchange address, as
# the stand-ins journal it (the picture and the telephone numbers left out).
SESSION_RUN = [
    "MAPIInitialize", "GetIDsOfNames _NameSpace.GetDefaultFolder", "_NameSpace.GetDefaultFolder",
    "GetIDsOfNames MAPIFolder.Items", "MAPIFolder.Items", "GetIDsOfNames _Items.Count", "_Items.Count",
    "GetIDsOfNames _Items.Item", "_Items.Item", "item.QueryInterface", "_ContactItem.FullName",
    "_ContactItem.MAPIOBJECT", "_NameSpace.CurrentProfileName", "MAPIFolder.StoreID", "MAPILogonEx",
    "IMAPISession.OpenMsgStore", "_ContactItem.EntryID", "IMsgStore.OpenEntry", "IMessage.GetIDsFromNames",
    "IMessage.GetProps", "MAPIFreeBuffer",
    "_Items.Item", "item.QueryInterface", "_ContactItem.FullName", "_ContactItem.EntryID", "IMsgStore.OpenEntry",
    "IMessage.GetProps", "IMAPISession.OpenAddressBook", "IAddrBook.OpenEntry", "IMailUser.GetProps",
    "MAPIFreeBuffer", "MAPIFreeBuffer",
    "_Items.Count", "MAPIFreeBuffer", "IMAPISession.Logoff", "MAPIUninitialize", "mapi32 unloaded", "live-objects 0",
    "",
]


class CallKindsTest(unittest.TestCase):
    def test_the_sessions_calls_are_mapi_calls(self):
        for line in ("MAPILogonEx", "IMAPISession.OpenMsgStore", "IMAPISession.OpenAddressBook",
                     "IMAPISession.Logoff", "IMsgStore.OpenEntry", "IMessage.GetIDsFromNames", "IMessage.GetProps",
                     "IAddrBook.OpenEntry", "IMailUser.GetProps", "MAPIFreeBuffer", "IMAPIProp.GetIDsFromNames",
                     "IMAPIProp.GetProps"):
            self.assertEqual(bench.call_kind(line), "mapi", line)

    def test_outlooks_members_are_object_model_calls(self):
        for line in ("_ContactItem.EntryID", "_ContactItem.MAPIOBJECT", "_NameSpace.CurrentProfileName",
                     "MAPIFolder.StoreID", "item.QueryInterface", "PropertyAccessor.GetProperty", "_Items.Item"):
            self.assertEqual(bench.call_kind(line), "model", line)

    def test_lookups_notes_and_mapis_start_are_no_calls(self):
        for line in ("GetIDsOfNames _Items.Item", "MAPIInitialize", "MAPIUninitialize", "mapi32 unloaded",
                     "live-objects 0", "Outlook.Application.create", "guard prompt", "rejected", ""):
            self.assertIsNone(bench.call_kind(line), line)


class FiguresTest(unittest.TestCase):
    def test_a_sessions_run_per_contact(self):
        model, mapi, names = bench.journal_figures(SESSION_RUN, 2)
        # Per run: GetDefaultFolder, Items, Count twice, the first MAPIOBJECT,
        # CurrentProfileName, StoreID; a contact: Item, the query, FullName, EntryID.
        self.assertEqual(model, (7 + 2 * 4) / 2)
        # Per run: the logon, the store, the names, their tags freed, the
        # logoff, the address book; a contact: OpenEntry, GetProps, the values
        # freed; the Exchange address: OpenEntry, GetProps, its value freed.
        self.assertEqual(mapi, (6 + 2 * 3 + 3) / 2)
        self.assertEqual(names, 4)

    def test_calls_only_keeps_calls_and_lookups_in_order(self):
        calls = bench.calls_only(SESSION_RUN)
        self.assertEqual(calls[:2], ["GetIDsOfNames _NameSpace.GetDefaultFolder", "_NameSpace.GetDefaultFolder"])
        self.assertEqual(calls[-2:], ["MAPIFreeBuffer", "IMAPISession.Logoff"])
        self.assertNotIn("MAPIInitialize", calls)
        self.assertNotIn("live-objects 0", calls)

    def test_where_two_programs_calls_part(self):
        self.assertIsNone(bench.first_difference(["a", "b"], ["a", "b"]))
        self.assertEqual(bench.first_difference(["a", "b", "c"], ["a", "x", "c"]), (1, "b", "x"))
        self.assertEqual(bench.first_difference(["a", "b"], ["a"]), (1, "b", None))
        self.assertEqual(bench.first_difference(["a"], ["a", "b"]), (1, None, "b"))

    def test_a_variants_cost_is_over_its_roads_plain_profile(self):
        def row(server, road, variant, program, model, mapi):
            return (bench.Row(server, road, variant), 1000, program, 1.0, 1.0, 1.0, model, mapi, 30, 1.0, 1.0)
        table = [
            row("inprocess", bench.SESSION, bench.PLAIN, "exporter", 17.0, 3.0),
            row("inprocess", bench.SESSION, bench.PLAIN, "floor", 17.0, 3.0),
            row("inprocess", bench.SESSION, bench.WITH_FIELDS, "exporter", 18.0, 3.0),
            row("inprocess", bench.SESSION, bench.EXCHANGE, "exporter", 17.0, 6.0),
            row("local", bench.SESSION, bench.WITH_FIELDS, "exporter", 18.5, 3.0),
            row("inprocess", bench.MAPI_OBJECT, bench.WITH_FIELDS, "exporter", 19.0, 4.0),
        ]
        # The local row has no plain profile to be measured against, nor has
        # the MAPI object's.
        self.assertEqual(bench.costs_of_variants(table), [
            (bench.Row("inprocess", bench.SESSION, bench.WITH_FIELDS), 1.0, 0.0),
            (bench.Row("inprocess", bench.SESSION, bench.EXCHANGE), 0.0, 3.0),
        ])


class ProfilesTest(unittest.TestCase):
    def document(self, road, variant, server="inprocess"):
        return bench.profile(20, bench.Row(server, road, variant), "/tmp/bench")

    def test_each_road_is_selected_as_the_exporter_selects_it(self):
        mapi_object = self.document(bench.MAPI_OBJECT, bench.PLAIN)
        self.assertNotIn("mapiObject", mapi_object)
        self.assertNotIn("faults", mapi_object)
        self.assertEqual(self.document(bench.SESSION, bench.PLAIN)["mapiObject"], "unmarshallable")
        self.assertEqual(self.document(bench.OBJECT_MODEL, bench.PLAIN)["faults"],
                         [{"operation": "_Application.Version", "hresult": "0x80004005"}])
        self.assertEqual(self.document(bench.SESSION, bench.PLAIN, "local")["server"], "local")

    def test_only_the_fields_variant_asks_for_fields(self):
        for variant in (bench.PLAIN, bench.PICTURES, bench.EXCHANGE):
            self.assertNotIn("CONTACT_EXPORTER_FIELDS", self.document(bench.SESSION, variant)["environment"])
        self.assertEqual(self.document(bench.SESSION, bench.WITH_FIELDS)["environment"]["CONTACT_EXPORTER_FIELDS"],
                         "id,modified")

    def test_every_exchange_address_is_in_the_address_book(self):
        document = self.document(bench.SESSION, bench.EXCHANGE)
        book = {entry["address"] for entry in document["addressBook"]}
        exchange = [item["Email2Address"] for item in document["items"] if item["Email2AddressType"] == "EX"]
        self.assertEqual(len(exchange), 20)
        self.assertTrue(set(exchange) <= book)

    def test_one_contact_in_ten_has_a_picture(self):
        items = self.document(bench.MAPI_OBJECT, bench.PICTURES)["items"]
        self.assertEqual([n for n, item in enumerate(items) if item.get("HasPicture")], [0, 10])
        self.assertFalse(any("HasPicture" in item for item in self.document(bench.MAPI_OBJECT, bench.PLAIN)["items"]))

    def test_the_local_server_has_no_mapi_object_row(self):
        self.assertFalse([row for row in bench.ROWS if row.server == "local" and row.road == bench.MAPI_OBJECT])


if __name__ == "__main__":
    unittest.main()
