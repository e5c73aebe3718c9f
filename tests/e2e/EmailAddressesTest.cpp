#include "ExporterRun.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

enum class Road { mapi, objectModel };

const char* roadName(Road road) { return road == Road::mapi ? "MAPI road" : "object-model road"; }

const std::string exchangeAddress = "/o=Contoso/ou=Exchange Administrative Group/cn=Recipients/cn=ada";

Json profileOn(Road road, const Json& contacts, const Json& addressBook = Json::array(), Json faults = Json::array()) {
    if (road == Road::objectModel) faults.push_back(fault("_Application.Version"));
    return {{"items", contacts}, {"addressBook", addressBook}, {"faults", faults}};
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

void expectOnBothRoads(const Json& contact, const std::string& expected, const Json& addressBook = Json::array()) {
    for (Road road : {Road::mapi, Road::objectModel}) {
        EXPECT_EQ(addressesOf(road, contact, addressBook), expected) << roadName(road);
    }
}

}  // namespace

TEST(EmailAddresses, NoAddressesGiveAnEmptyArray) { expectOnBothRoads(Json::object(), "[]"); }

TEST(EmailAddresses, OnlyTheSecondAddress) {
    expectOnBothRoads({{"Email2Address", "b@example.org"}, {"Email1AddressType", "SMTP"}}, "[\"b@example.org\"]");
}

TEST(EmailAddresses, FirstAndThirdAreSeparatedByOneComma) {
    expectOnBothRoads({{"Email1Address", "a@example.org"}, {"Email3Address", "c@example.org"}},
                      "[\"a@example.org\",\"c@example.org\"]");
}

TEST(EmailAddresses, AnExchangeAddressIsReplacedByItsSmtpAddress) {
    const Json book = {{{"address", exchangeAddress}, {"smtp", "ada@contoso.example"}}};
    expectOnBothRoads(
        {{"Email1Address", exchangeAddress}, {"Email1AddressType", "EX"}, {"Email2Address", "plain@example.org"}},
        "[\"ada@contoso.example\",\"plain@example.org\"]", book);
}

TEST(EmailAddresses, AnExchangeAddressThatDoesNotResolveIsEmpty) {
    const Json contact = {
        {"Email1Address", exchangeAddress}, {"Email1AddressType", "EX"}, {"Email2Address", "b@example.org"}};
    expectOnBothRoads(contact, "[\"\",\"b@example.org\"]");
    expectOnBothRoads(contact, "[\"\",\"b@example.org\"]",
                      {{{"address", exchangeAddress}, {"resolves", false}, {"smtp", "x@example.org"}}});
}

TEST(EmailAddresses, AnEntryWithADifferentAddressGivesNoSmtpAddress) {
    expectOnBothRoads({{"Email1Address", exchangeAddress}, {"Email1AddressType", "EX"}}, "[\"\"]",
                      {{{"address", exchangeAddress}, {"entryAddress", exchangeAddress + "x"}, {"smtp", "x@y.z"}}});
    // The comparison is case-sensitive.
    expectOnBothRoads({{"Email1Address", "/o=A"}, {"Email1AddressType", "EX"}}, "[\"\"]",
                      {{{"address", "/o=A"}, {"entryAddress", "/O=A"}, {"smtp", "x@y.z"}}});
}

TEST(EmailAddresses, OnlyTheExactTypeExIsLookedUp) {
    const Json book = {{{"address", "/o=A"}, {"smtp", "x@y.z"}}};
    for (const std::string type : {"ex", "EX ", "Ex", " EX", "SMTP"}) {
        for (Road road : {Road::mapi, Road::objectModel}) {
            const Json contact = {{"Email1Address", "/o=A"}, {"Email1AddressType", type}};
            const RunResult result = run(profileOn(road, Json::array({contact}), book));
            EXPECT_EQ(result.out.substr(0, 24), "{\"emailaddrs\":[\"\\/o=A\"],") << type << " " << roadName(road);
            EXPECT_FALSE(result.journalHas("_NameSpace.CreateRecipient")) << type;
        }
    }
}

TEST(EmailAddresses, AnEmptyFirstAddressTypedExMakesNoLookup) {
    for (Road road : {Road::mapi, Road::objectModel}) {
        const Json contact = {{"Email1Address", ""}, {"Email1AddressType", "EX"}, {"Email2Address", "b@c.d"}};
        const RunResult result = run(profileOn(road, Json::array({contact})));
        EXPECT_EQ(result.out.substr(0, 24), "{\"emailaddrs\":[\"b@c.d\"],") << roadName(road);
        EXPECT_FALSE(result.journalHas("_NameSpace.CreateRecipient"));
    }
}

TEST(EmailAddresses, SolidusAndQuoteAreEscaped) {
    expectOnBothRoads({{"Email1Address", "\"Ada/Lab\" <ada@example.org>"}},
                      "[\"\\\"Ada\\/Lab\\\" <ada@example.org>\"]");
}

TEST(EmailAddresses, EightBitMapiValuesAreTakenInTheAnsiCodePage) {
    const Json contact = {{"Email1Address", "j\u00F6rg@m\u00FCller.example"},
                          {"mapiTypes", {{"Email1Address", "PT_STRING8"}}}};
    EXPECT_EQ(addressesOf(Road::mapi, contact), "[\"j\xF6rg@m\xFCller.example\"]");
    const Json raw = {{"Email1Address", {{"bytes", {0x41, 0xE9, 0x2F, 0x22}}}},
                      {"mapiTypes", {{"Email1Address", "PT_STRING8"}}}};
    EXPECT_EQ(addressesOf(Road::mapi, raw), "[\"A\xE9\\/\\\"\"]");
}

TEST(EmailAddresses, EightBitExchangeTypeIsLookedUp) {
    const Json contact = {{"Email1Address", "/o=A"},
                          {"Email1AddressType", "EX"},
                          {"mapiTypes", {{"Email1Address", "PT_STRING8"}, {"Email1AddressType", "PT_STRING8"}}}};
    EXPECT_EQ(addressesOf(Road::mapi, contact, {{{"address", "/o=A"}, {"smtp", "a@b.c"}}}), "[\"a@b.c\"]");
}

TEST(EmailAddresses, UnicodeMapiValuesMatchTheObjectModelRoad) {
    const Json contact = {{"Email1Address", "ren\u00E9e@\u00E5str\u00F6m.example \u0416"}};
    const std::string mapi = addressesOf(Road::mapi, contact);
    EXPECT_EQ(mapi, addressesOf(Road::objectModel, contact));
    EXPECT_EQ(mapi,
              "[\"ren\xE9"
              "e@\xE5str\xF6m.example ?\"]");
}

TEST(EmailAddresses, AnExchangeEntryWithoutSmtpAddressIsEmptyAndTheExportGoesOn) {
    const Json book = {{{"address", "/o=A"}, {"smtp", {{"hresult", "0x8004010F"}}}}};
    for (Road road : {Road::mapi, Road::objectModel}) {
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

TEST(EmailAddresses, AFailingMapiCallGivesAnEmptyArray) {
    const Json contact = {{"Email1Address", "a@b.c"}};
    for (const std::string operation : {"IMAPIProp.GetIDsFromNames", "IMAPIProp.GetProps"}) {
        const RunResult result = run(profileOn(Road::mapi, Json::array({contact, contact}), Json::array(),
                                               Json::array({fault(operation, "0x80040102", 2)})));
        EXPECT_EQ(result.out,
                  "{\"emailaddrs\":[\"a@b.c\"],\"phones\":[]}\r\n{\"emailaddrs\":[],\"phones\":[]}\r\n"
                  "contatti trovati: 2 / 2\r\n")
            << operation;
        EXPECT_TRUE(endedInOrder(result));
    }
    // Without a MAPI object the addresses come through the object model.
    const RunResult noObject = run(profileOn(Road::mapi, Json::array({contact, contact}), Json::array(),
                                             Json::array({nullResult("_ContactItem.MAPIOBJECT")})));
    EXPECT_EQ(noObject.out,
              "{\"emailaddrs\":[\"a@b.c\"],\"phones\":[]}\r\n{\"emailaddrs\":[\"a@b.c\"],\"phones\":[]}\r\n"
              "contatti trovati: 2 / 2\r\n");
    EXPECT_EQ(noObject.count("_ContactItem.MAPIOBJECT"), 1u);
    EXPECT_EQ(noObject.count("_ContactItem.Email1Address"), 2u);
    EXPECT_TRUE(endedInOrder(noObject));
}

TEST(EmailAddresses, AShortValueArrayIsReadOnlyAsFarAsItGoes) {
    const Json contact = {{"Email1Address", "a@b.c"}, {"Email2Address", "d@e.f"}, {"mapiValueCount", 3}};
    EXPECT_EQ(addressesOf(Road::mapi, contact), "[\"a@b.c\"]");
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
