#include "ExporterRun.h"

#include <gtest/gtest.h>

#include <random>

using namespace e2e;

namespace {

const std::string emptyRecordTail = "\"emailaddrs\":[],\"phones\":[]}";

Json contact(const std::string& fullName, const std::string& firstName, const std::string& lastName) {
    return {{"FullName", fullName}, {"FirstName", firstName}, {"LastName", lastName}};
}

RunResult exportOf(const Json& items, const Json& faults = Json::array()) {
    return run({{"items", items}, {"faults", faults}});
}

// Nothing on standard error, exit code 0, and the run ended in order.
void expectSilentEnd(const RunResult& result) {
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(endedInOrder(result));
}

}  // namespace

TEST(ContactWalk, AnEmptyFolderWritesOnlyTheTrailer) {
    const RunResult result = exportOf(Json::array());
    EXPECT_EQ(result.out, "\r\ncontatti trovati: 0 / 0\r\n");
    expectSilentEnd(result);
}

TEST(ContactWalk, ItemsThatAreNotContactsAreSkippedAndCountOnlyInTheTotal) {
    const Json lists = Json::array({{{"class", "distlist"}}, {{"class", "distlist"}}, {{"class", "distlist"}}});
    const RunResult result = exportOf(lists);
    EXPECT_EQ(result.out, "\r\ncontatti trovati: 0 / 3\r\n");
    expectSilentEnd(result);

    const RunResult mixed = exportOf({{{"class", "note"}}, contact("Ada", "", ""), {{"class", "distlist"}}});
    EXPECT_EQ(mixed.out, "{\"displayname\":\"Ada\"," + emptyRecordTail + "\r\ncontatti trovati: 1 / 3\r\n");
    expectSilentEnd(mixed);
}

TEST(ContactWalk, ContactsComeOutLastFirst) {
    const RunResult result =
        exportOf({contact("Anna Bianchi", "Anna", "Bianchi"), contact("Bruno Verdi", "Bruno", "Verdi"),
                  contact("Carla Neri", "Carla", "Neri")});
    EXPECT_EQ(result.out,
              "{\"displayname\":\"Carla Neri\",\"emailaddrs\":[],\"firstname\":\"Carla\",\"surname\":\"Neri\","
              "\"phones\":[]}\r\n"
              "{\"displayname\":\"Bruno Verdi\",\"emailaddrs\":[],\"firstname\":\"Bruno\",\"surname\":\"Verdi\","
              "\"phones\":[]}\r\n"
              "{\"displayname\":\"Anna Bianchi\",\"emailaddrs\":[],\"firstname\":\"Anna\",\"surname\":\"Bianchi\","
              "\"phones\":[]}\r\n"
              "contatti trovati: 3 / 3\r\n");
    expectSilentEnd(result);
}

TEST(ContactWalk, ASurnameNeedsTwoCharacters) {
    const RunResult result = exportOf({contact("", "", "Li"), contact("", "", "O")});
    EXPECT_EQ(result.out, "{" + emptyRecordTail + "\r\n{\"emailaddrs\":[],\"surname\":\"Li\",\"phones\":[]}\r\n" +
                              "contatti trovati: 2 / 2\r\n");
    expectSilentEnd(result);
}

TEST(ContactWalk, MissingNamesLeaveTheirMembersOut) {
    const RunResult result = exportOf({{{"FullName", nullptr}, {"FirstName", "Zoe"}}, Json::object()});
    EXPECT_EQ(result.out, "{" + emptyRecordTail + "\r\n{\"emailaddrs\":[],\"firstname\":\"Zoe\",\"phones\":[]}\r\n" +
                              "contatti trovati: 2 / 2\r\n");
    expectSilentEnd(result);
}

TEST(ContactWalk, NamesAreEscapedAndStayOnOneLine) {
    const RunResult result = exportOf(Json::array({contact("Anna \"Nina\"\tRossi\nVerdi", "D'Ang\u00E8lo", "A/B\\C")}));
    EXPECT_EQ(result.out,
              "{\"displayname\":\"Anna \\\"Nina\\\"\\tRossi\\nVerdi\",\"emailaddrs\":[],\"firstname\":\"D'Ang\xE8lo\","
              "\"surname\":\"A\\/B\\\\C\",\"phones\":[]}\r\ncontatti trovati: 1 / 1\r\n");
    expectSilentEnd(result);
}

TEST(ContactWalk, EachNameIsReadOnceAndThatReadingIsWritten) {
    const RunResult result = exportOf(Json::array({contact("Ada", "Augusta", "King")}));
    for (const std::string property : {"FullName", "FirstName", "LastName"}) {
        EXPECT_EQ(result.count("_ContactItem." + property), 1u) << property;
        EXPECT_EQ(result.count("GetIDsOfNames _ContactItem." + property), 1u) << property;
    }
    EXPECT_EQ(
        lines(result.out)[0],
        "{\"displayname\":\"Ada\",\"emailaddrs\":[],\"firstname\":\"Augusta\",\"surname\":\"King\",\"phones\":[]}");
}

TEST(ContactWalk, AFaultInTheThirdContactLeavesItsRecordOpenWithoutTrailer) {
    const Json items = {contact("Uno", "", ""), contact("Due", "", ""), contact("Tre", "Terzo", "Ultimo"),
                        contact("Quattro", "", "")};
    // Reading order per contact: FullName, FirstName, LastName.
    const RunResult result = exportOf(items, Json::array({fault("_ContactItem.LastName", "0x80004005", 2)}));
    EXPECT_EQ(result.out, "{\"displayname\":\"Quattro\"," + emptyRecordTail +
                              "\r\n{\"displayname\":\"Tre\",\"emailaddrs\":[]," + "\"firstname\":\"Terzo\"");
    expectSilentEnd(result);
}

TEST(ContactWalk, AFaultingItemOrCountEndsTheWalkSilently) {
    const Json items = {contact("Uno", "", ""), contact("Due", "", "")};
    EXPECT_EQ(exportOf(items, Json::array({fault("_Items.Item", "0x80004005", 2)})).out,
              "{\"displayname\":\"Due\"," + emptyRecordTail);
    EXPECT_EQ(exportOf(items, Json::array({fault("_Items.Count", "0x80004005", 2)})).out,
              "{\"displayname\":\"Due\"," + emptyRecordTail + "\r\n{\"displayname\":\"Uno\"," + emptyRecordTail);
    // Only E_NOINTERFACE means "not a contact"; any other failed query
    // (E_POINTER or a lost connection too) is a failed call.
    for (const std::string hresult : {"0x80004005", "0x80004003", "0x80010108"}) {
        const RunResult queryFault = exportOf(items, Json::array({fault("item.QueryInterface", hresult, 2)}));
        EXPECT_EQ(queryFault.out, "{\"displayname\":\"Due\"," + emptyRecordTail) << hresult;
        expectSilentEnd(queryFault);
    }
}

TEST(ContactWalk, AnItemThatIsNoObjectIsSkipped) {
    const RunResult result =
        exportOf({contact("Uno", "", ""), contact("Due", "", "")}, Json::array({nullResult("_Items.Item")}));
    EXPECT_EQ(result.out, "{\"displayname\":\"Uno\"," + emptyRecordTail + "\r\ncontatti trovati: 1 / 2\r\n");
    expectSilentEnd(result);
}

TEST(ContactWalk, NoFolderOrNoItemsWritesNothingAtAll) {
    const Json items = Json::array({contact("Uno", "", "")});
    for (const Json& faults :
         {Json::array({nullResult("_NameSpace.GetDefaultFolder")}), Json::array({nullResult("MAPIFolder.Items")}),
          Json::array({fault("_NameSpace.GetDefaultFolder")}), Json::array({fault("MAPIFolder.Items")}),
          Json::array({fault("_Application.GetNamespace")})}) {
        const RunResult result = exportOf(items, faults);
        EXPECT_EQ(result.out, "") << faults.dump();
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(endedInOrder(result));
    }
}

TEST(ContactWalk, EveryRecordOfALargeProfileIsStrictJsonAndRoundTrips) {
    // Letters the Western code page holds, JSON's special characters and controls.
    const std::u16string alphabet = u"abcXYZ 019\u00E0\u00E8\u00E9\u00F6\u00DF\u00C7\u20AC'\"\\/\t\n\r\x01\x1F{}[],:";
    std::mt19937 random(7);
    auto randomText = [&](std::size_t maximum) {
        std::u16string text(random() % (maximum + 1), u' ');
        for (auto& unit : text) unit = alphabet[random() % alphabet.size()];
        return text;
    };
    auto toUtf8 = [](const std::u16string& text) {
        std::string utf8;
        for (char16_t unit : text) {
            if (unit < 0x80) {
                utf8 += static_cast<char>(unit);
            } else if (unit < 0x800) {
                utf8 += static_cast<char>(0xC0 | (unit >> 6));
                utf8 += static_cast<char>(0x80 | (unit & 0x3F));
            } else {
                utf8 += static_cast<char>(0xE0 | (unit >> 12));
                utf8 += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
                utf8 += static_cast<char>(0x80 | (unit & 0x3F));
            }
        }
        return utf8;
    };

    Json items = Json::array();
    for (int index = 0; index < 300; ++index) {
        items.push_back({{"FullName", utf16(randomText(40))},
                         {"FirstName", utf16(randomText(12))},
                         {"LastName", utf16(randomText(12))},
                         {"MobileTelephoneNumber", utf16(randomText(16))},
                         {"Email2Address", utf16(randomText(20))}});
    }
    const RunResult result = exportOf(items);
    expectSilentEnd(result);
    const std::vector<std::string> output = lines(result.out);
    ASSERT_EQ(output.size(), items.size() + 2);
    EXPECT_EQ(output[items.size()], "contatti trovati: 300 / 300");

    const std::vector<Json> written = records(result);
    for (std::size_t line = 0; line < items.size(); ++line) {
        const Json& source = items[items.size() - 1 - line];
        auto text = [&](const char* member) {
            std::u16string units;
            for (const auto& unit : source[member]["utf16"]) units += static_cast<char16_t>(unit.get<unsigned>());
            return toUtf8(units);
        };
        const Json& record = written[line];
        EXPECT_EQ(record.value("displayname", ""), text("FullName"));
        EXPECT_EQ(record.value("firstname", ""), text("FirstName"));
        const std::string surname = text("LastName");
        EXPECT_EQ(record.value("surname", ""), source["LastName"]["utf16"].size() > 1 ? surname : "");
        const std::string mobile = text("MobileTelephoneNumber");
        EXPECT_EQ(record["phones"].size(), mobile.empty() ? 0u : 1u);
        if (!mobile.empty()) {
            EXPECT_EQ(record["phones"][0]["number"], mobile);
        }
        const std::string email = text("Email2Address");
        EXPECT_EQ(record["emailaddrs"], email.empty() ? Json::array() : Json::array({email}));
    }
}
