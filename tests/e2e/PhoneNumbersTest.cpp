#include "ExporterRun.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// The phones array of a lone contact with these properties.
std::string phonesOf(const Json& contact) {
    const RunResult result = run({{"items", Json::array({contact})}});
    EXPECT_TRUE(endedInOrder(result));
    const std::string prefix = "{\"emailaddrs\":[],\"phones\":";
    const std::string suffix = "}\r\ncontatti trovati: 1 / 1\r\n";
    EXPECT_EQ(result.out.rfind(prefix, 0), 0u) << result.out;
    EXPECT_GE(result.out.size(), prefix.size() + suffix.size());
    return result.out.substr(prefix.size(), result.out.size() - prefix.size() - suffix.size());
}

}  // namespace

TEST(PhoneNumbers, AContactWithoutNumbersHasAnEmptyArray) { EXPECT_EQ(phonesOf(Json::object()), "[]"); }

TEST(PhoneNumbers, AllTenTypesComeInTheirFixedOrder) {
    const Json contact = {
        {"MobileTelephoneNumber", "10"},     {"PrimaryTelephoneNumber", "9"}, {"OtherTelephoneNumber", "8"},
        {"CompanyMainTelephoneNumber", "7"}, {"HomeFaxNumber", "6"},          {"Home2TelephoneNumber", "5"},
        {"HomeTelephoneNumber", "4"},        {"BusinessFaxNumber", "3"},      {"Business2TelephoneNumber", "2"},
        {"BusinessTelephoneNumber", "1"}};
    EXPECT_EQ(phonesOf(contact),
              "[{\"type\":\"business\",\"number\":\"1\"},{\"type\":\"business2\",\"number\":\"2\"},"
              "{\"type\":\"businessFax\",\"number\":\"3\"},{\"type\":\"home\",\"number\":\"4\"},"
              "{\"type\":\"home2\",\"number\":\"5\"},{\"type\":\"homeFax\",\"number\":\"6\"},"
              "{\"type\":\"company\",\"number\":\"7\"},{\"type\":\"other\",\"number\":\"8\"},"
              "{\"type\":\"primary\",\"number\":\"9\"},{\"type\":\"mobile\",\"number\":\"10\"}]");
}

TEST(PhoneNumbers, BusinessComesBeforeMobile) {
    EXPECT_EQ(phonesOf({{"MobileTelephoneNumber", "333 1234567"}, {"BusinessTelephoneNumber", "02 7654321"}}),
              "[{\"type\":\"business\",\"number\":\"02 7654321\"},{\"type\":\"mobile\",\"number\":\"333 1234567\"}]");
}

TEST(PhoneNumbers, ALoneHomeFaxHasNoLeadingComma) {
    EXPECT_EQ(phonesOf({{"HomeFaxNumber", "06 111"}}), "[{\"type\":\"homeFax\",\"number\":\"06 111\"}]");
}

TEST(PhoneNumbers, TheSameNumberInTwoPropertiesIsWrittenTwice) {
    EXPECT_EQ(phonesOf({{"BusinessTelephoneNumber", "555"}, {"PrimaryTelephoneNumber", "555"}}),
              "[{\"type\":\"business\",\"number\":\"555\"},{\"type\":\"primary\",\"number\":\"555\"}]");
}

TEST(PhoneNumbers, NumbersAreWrittenAsHeldWithOnlyJsonEscaping) {
    EXPECT_EQ(
        phonesOf({{"BusinessTelephoneNumber", "+39 (02) 123-456"}, {"HomeTelephoneNumber", "02/123456"}}),
        "[{\"type\":\"business\",\"number\":\"+39 (02) 123-456\"},{\"type\":\"home\",\"number\":\"02\\/123456\"}]");
}

TEST(PhoneNumbers, AnEmptyOrMissingNumberIsLeftOut) {
    EXPECT_EQ(
        phonesOf({{"BusinessTelephoneNumber", ""}, {"HomeTelephoneNumber", nullptr}, {"MobileTelephoneNumber", "1"}}),
        "[{\"type\":\"mobile\",\"number\":\"1\"}]");
    // A number made of a NUL unit has a length, and escapes to nothing.
    EXPECT_EQ(phonesOf({{"OtherTelephoneNumber", utf16(std::u16string(1, u'\0'))}}),
              "[{\"type\":\"other\",\"number\":\"\"}]");
}

TEST(PhoneNumbers, EachContactStartsItsArrayWithoutAComma) {
    const RunResult result =
        run({{"items",
              {{{"MobileTelephoneNumber", "2"}}, {{"BusinessTelephoneNumber", "1"}, {"MobileTelephoneNumber", "1"}}}}});
    EXPECT_EQ(result.out,
              "{\"emailaddrs\":[],\"phones\":[{\"type\":\"business\",\"number\":\"1\"},{\"type\":\"mobile\","
              "\"number\":\"1\"}]}\r\n{\"emailaddrs\":[],\"phones\":[{\"type\":\"mobile\",\"number\":\"2\"}]}\r\n"
              "contatti trovati: 2 / 2\r\n");
}

TEST(PhoneNumbers, AFailingReadStopsBeforeItsEntry) {
    const RunResult result = run({{"items", {{{"BusinessTelephoneNumber", "1"}, {"MobileTelephoneNumber", "2"}}}},
                                  {"faults", {fault("_ContactItem.MobileTelephoneNumber")}}});
    EXPECT_EQ(result.out, "{\"emailaddrs\":[],\"phones\":[{\"type\":\"business\",\"number\":\"1\"}");
    EXPECT_TRUE(endedInOrder(result));
}
