#include "ExporterRun.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// The three roads to the addresses: the contact's own MAPI object, a MAPI
// session of the exporter's own (the contacts' MAPI objects give no
// IMAPIProp, as Outlook's do in another process), and the object model.
enum class Road { mapi, session, objectModel };

const Road everyRoad[] = {Road::mapi, Road::session, Road::objectModel};

const char* roadName(Road road) {
    switch (road) {
    case Road::mapi: return "MAPI road";
    case Road::session: return "session road";
    case Road::objectModel: return "object-model road";
    }
    return "";
}

const std::string exchangeAddress = "/o=Contoso/ou=Exchange Administrative Group/cn=Recipients/cn=ada";

Json profileOn(Road road, const Json& contacts, const Json& addressBook = Json::array(), Json faults = Json::array()) {
    if (road == Road::objectModel) faults.push_back(fault("_Application.Version"));
    Json profile = {{"items", contacts}, {"addressBook", addressBook}, {"faults", faults}};
    if (road == Road::session) profile["mapiObject"] = "unmarshallable";
    return profile;
}

// The e-mail array of a lone contact, checked for the run's clean end.
std::string addressesOf(Road road, const Json& contact, const Json& addressBook = Json::array()) {
    const RunResult result = run(profileOn(road, Json::array({contact}), addressBook));
    EXPECT_TRUE(endedInOrder(result)) << roadName(road);
    const std::string prefix = "{\"emailaddrs\":";
    const std::string suffix = ",\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n";
    EXPECT_EQ(result.out.rfind(prefix, 0), 0u) << roadName(road) << ": " << result.out;
    EXPECT_GE(result.out.size(), prefix.size() + suffix.size()) << roadName(road);
    return result.out.substr(prefix.size(), result.out.size() - prefix.size() - suffix.size());
}

void expectOnEveryRoad(const Json& contact, const std::string& expected, const Json& addressBook = Json::array()) {
    for (Road road : everyRoad) EXPECT_EQ(addressesOf(road, contact, addressBook), expected) << roadName(road);
}

}  // namespace

TEST(EmailAddresses, NoAddressesGiveAnEmptyArray) { expectOnEveryRoad(Json::object(), "[]"); }

TEST(EmailAddresses, OnlyTheSecondAddress) {
    expectOnEveryRoad({{"Email2Address", "b@example.org"}, {"Email1AddressType", "SMTP"}}, "[\"b@example.org\"]");
}

TEST(EmailAddresses, FirstAndThirdAreSeparatedByOneComma) {
    expectOnEveryRoad({{"Email1Address", "a@example.org"}, {"Email3Address", "c@example.org"}},
                      "[\"a@example.org\",\"c@example.org\"]");
}

TEST(EmailAddresses, AnExchangeAddressIsReplacedByItsSmtpAddress) {
    const Json book = {{{"address", exchangeAddress}, {"smtp", "ada@contoso.example"}}};
    expectOnEveryRoad(
        {{"Email1Address", exchangeAddress}, {"Email1AddressType", "EX"}, {"Email2Address", "plain@example.org"}},
        "[\"ada@contoso.example\",\"plain@example.org\"]", book);
}

TEST(EmailAddresses, AnExchangeAddressThatDoesNotResolveIsEmpty) {
    const Json contact = {
        {"Email1Address", exchangeAddress}, {"Email1AddressType", "EX"}, {"Email2Address", "b@example.org"}};
    expectOnEveryRoad(contact, "[\"\",\"b@example.org\"]");
    expectOnEveryRoad(contact, "[\"\",\"b@example.org\"]",
                      {{{"address", exchangeAddress}, {"resolves", false}, {"smtp", "x@example.org"}}});
}

// Looked up by name, an entry that gives back another address is not the
// contact's. The session opens the entry the contact's address was taken
// from, which is the contact's own whatever address it holds now: the one
// documented difference between the roads.
TEST(EmailAddresses, AnEntryWithADifferentAddressGivesNoSmtpAddressWhenLookedUpByName) {
    const Json renamed = {{{"address", exchangeAddress}, {"entryAddress", exchangeAddress + "x"}, {"smtp", "x@y.z"}}};
    // The comparison is case-sensitive.
    const Json otherCase = {{{"address", "/o=A"}, {"entryAddress", "/O=A"}, {"smtp", "x@y.z"}}};
    for (Road road : everyRoad) {
        const std::string expected = road == Road::session ? "[\"x@y.z\"]" : "[\"\"]";
        EXPECT_EQ(addressesOf(road, {{"Email1Address", exchangeAddress}, {"Email1AddressType", "EX"}}, renamed),
                  expected)
            << roadName(road);
        EXPECT_EQ(addressesOf(road, {{"Email1Address", "/o=A"}, {"Email1AddressType", "EX"}}, otherCase), expected)
            << roadName(road);
    }
    // Without its original entry id, the session looks the address up by name too.
    EXPECT_EQ(addressesOf(Road::session,
                          {{"Email1Address", "/o=A"}, {"Email1AddressType", "EX"}, {"Email1OriginalEntryId", nullptr}},
                          otherCase),
              "[\"\"]");
}

TEST(EmailAddresses, OnlyTheExactTypeExIsLookedUp) {
    const Json book = {{{"address", "/o=A"}, {"smtp", "x@y.z"}}};
    for (const std::string type : {"ex", "EX ", "Ex", " EX", "SMTP"}) {
        for (Road road : everyRoad) {
            const Json contact = {{"Email1Address", "/o=A"}, {"Email1AddressType", type}};
            const RunResult result = run(profileOn(road, Json::array({contact}), book));
            EXPECT_EQ(result.out.substr(0, 24), "{\"emailaddrs\":[\"\\/o=A\"],") << type << " " << roadName(road);
            EXPECT_FALSE(result.journalHas("_NameSpace.CreateRecipient")) << type;
            EXPECT_FALSE(result.journalHas("IAddrBook.OpenEntry")) << type;
        }
    }
}

TEST(EmailAddresses, AnEmptyFirstAddressTypedExMakesNoLookup) {
    for (Road road : everyRoad) {
        const Json contact = {{"Email1Address", ""}, {"Email1AddressType", "EX"}, {"Email2Address", "b@c.d"}};
        const RunResult result = run(profileOn(road, Json::array({contact})));
        EXPECT_EQ(result.out.substr(0, 24), "{\"emailaddrs\":[\"b@c.d\"],") << roadName(road);
        EXPECT_FALSE(result.journalHas("_NameSpace.CreateRecipient"));
        EXPECT_FALSE(result.journalHas("IAddrBook.OpenEntry"));
    }
}

TEST(EmailAddresses, SolidusAndQuoteAreEscaped) {
    expectOnEveryRoad({{"Email1Address", "\"Ada/Lab\" <ada@example.org>"}},
                      "[\"\\\"Ada\\/Lab\\\" <ada@example.org>\"]");
}

TEST(EmailAddresses, EightBitMapiValuesAreTakenInTheAnsiCodePage) {
    const Json contact = {{"Email1Address", "j\u00F6rg@m\u00FCller.example"},
                          {"mapiTypes", {{"Email1Address", "PT_STRING8"}}}};
    const Json raw = {{"Email1Address", {{"bytes", {0x41, 0xE9, 0x2F, 0x22}}}},
                      {"mapiTypes", {{"Email1Address", "PT_STRING8"}}}};
    for (Road road : {Road::mapi, Road::session}) {
        EXPECT_EQ(addressesOf(road, contact), "[\"j\xF6rg@m\xFCller.example\"]") << roadName(road);
        EXPECT_EQ(addressesOf(road, raw), "[\"A\xE9\\/\\\"\"]") << roadName(road);
    }
}

TEST(EmailAddresses, EightBitExchangeTypeIsLookedUp) {
    const Json contact = {{"Email1Address", "/o=A"},
                          {"Email1AddressType", "EX"},
                          {"mapiTypes", {{"Email1Address", "PT_STRING8"}, {"Email1AddressType", "PT_STRING8"}}}};
    for (Road road : {Road::mapi, Road::session}) {
        EXPECT_EQ(addressesOf(road, contact, {{{"address", "/o=A"}, {"smtp", "a@b.c"}}}), "[\"a@b.c\"]")
            << roadName(road);
    }
}

TEST(EmailAddresses, UnicodeMapiValuesMatchTheObjectModelRoad) {
    const Json contact = {{"Email1Address", "ren\u00E9e@\u00E5str\u00F6m.example \u0416"}};
    const std::string objectModel = addressesOf(Road::objectModel, contact);
    EXPECT_EQ(objectModel,
              "[\"ren\xE9"
              "e@\xE5str\xF6m.example ?\"]");
    for (Road road : {Road::mapi, Road::session}) EXPECT_EQ(addressesOf(road, contact), objectModel) << roadName(road);
}

TEST(EmailAddresses, AnExchangeEntryWithoutSmtpAddressIsEmptyAndTheExportGoesOn) {
    const Json book = {{{"address", "/o=A"}, {"smtp", {{"hresult", "0x8004010F"}}}}};
    for (Road road : everyRoad) {
        const Json contacts = {{{"Email1Address", "/o=A"}, {"Email1AddressType", "EX"}}, {{"FullName", "Bo"}}};
        const RunResult result = run(profileOn(road, contacts, book));
        EXPECT_EQ(result.out,
                  "{\"displayname\":\"Bo\",\"emailaddrs\":[],\"phones\":[]}\r\n"
                  "{\"emailaddrs\":[\"\"],\"phones\":[]}\r\ncontatti trovati: 2 / 2\r\n")
            << roadName(road);
        EXPECT_TRUE(endedInOrder(result));
    }
}

TEST(EmailAddresses, AnyOtherGetPropertyFailureEndsTheWalk) {
    const Json book = {{{"address", "/o=A"}, {"smtp", {{"hresult", "0x80004005"}}}}};
    for (Road road : {Road::mapi, Road::objectModel}) {
        const Json contacts = {{{"Email1Address", "b@c.d"}, {"Email2Address", "/o=A"}, {"Email2AddressType", "EX"}}};
        const RunResult result = run(profileOn(road, contacts, book));
        EXPECT_EQ(result.out, "{\"emailaddrs\":[\"b@c.d\",") << roadName(road);
        EXPECT_TRUE(endedInOrder(result));
    }
}

// MAPI's own failure for one contact says nothing of its addresses: they
// come through the object model, and the next contact is MAPI's again. An
// empty list is written only where MAPI answers that they are not there.
TEST(EmailAddresses, AContactThatMapiCannotReadTakesTheObjectModel) {
    const Json contact = {{"Email1Address", "a@b.c"}};
    const std::string both =
        "{\"emailaddrs\":[\"a@b.c\"],\"phones\":[]}\r\n{\"emailaddrs\":[\"a@b.c\"],\"phones\":[]}\r\n"
        "contatti trovati: 2 / 2\r\n";
    const struct {
        Road road;
        std::string operation;
    } failures[] = {{Road::mapi, "IMAPIProp.GetIDsFromNames"},
                    {Road::mapi, "IMAPIProp.GetProps"},
                    {Road::session, "IMsgStore.OpenEntry"},
                    {Road::session, "IMessage.GetProps"}};
    for (const auto& failure : failures) {
        for (const std::string hresult : {"0x80040102", "0x80040115", "0x8007000E"}) {
            const std::string what = failure.operation + " " + hresult;
            const RunResult result = run(profileOn(failure.road, Json::array({contact, contact}), Json::array(),
                                                   Json::array({fault(failure.operation, hresult, 2)})));
            EXPECT_EQ(result.out, both) << what;
            EXPECT_EQ(result.count("_ContactItem.Email1Address"), 1u) << what;
            EXPECT_TRUE(endedInOrder(result)) << what;
        }
    }
    // Without a MAPI object the run takes the next road.
    const RunResult noObject = run(profileOn(Road::mapi, Json::array({contact, contact}), Json::array(),
                                             Json::array({nullResult("_ContactItem.MAPIOBJECT")})));
    EXPECT_EQ(noObject.out, both);
    EXPECT_EQ(noObject.count("_ContactItem.MAPIOBJECT"), 1u);
    EXPECT_EQ(noObject.count("IMessage.GetProps"), 2u);
    EXPECT_FALSE(noObject.journalHas("_ContactItem.Email1Address"));
    EXPECT_TRUE(endedInOrder(noObject));
}

TEST(EmailAddresses, AShortValueArrayIsReadOnlyAsFarAsItGoes) {
    const Json contact = {{"Email1Address", "a@b.c"}, {"Email2Address", "d@e.f"}, {"mapiValueCount", 3}};
    for (Road road : {Road::mapi, Road::session})
        EXPECT_EQ(addressesOf(road, contact), "[\"a@b.c\"]") << roadName(road);
}

TEST(EmailAddresses, BothMapiBuffersAreFreedForEveryContact) {
    const Json contacts = {{{"Email1Address", "a@b.c"}}, Json::object(), {{"Email3Address", "c@d.e"}}};
    const RunResult result = run(profileOn(Road::mapi, contacts));
    EXPECT_EQ(result.count("MAPIFreeBuffer"), 6u);
    EXPECT_EQ(result.count("IMAPIProp.GetProps"), 3u);
    EXPECT_FALSE(result.journalHas("_ContactItem.Email1Address"));
    EXPECT_TRUE(endedInOrder(result));

    const RunResult objectModel = run(profileOn(Road::objectModel, contacts));
    EXPECT_FALSE(objectModel.journalHas("MAPIFreeBuffer"));
    EXPECT_FALSE(objectModel.journalHas("_ContactItem.MAPIOBJECT"));
    // A pair's type is read only for an address that is there.
    EXPECT_EQ(objectModel.count("_ContactItem.Email3Address"), 3u);
    EXPECT_EQ(objectModel.count("_ContactItem.Email3AddressType"), 1u);
}
