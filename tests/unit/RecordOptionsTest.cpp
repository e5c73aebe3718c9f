// What a caller asks of the records, read from the environment: the values
// known, and the refusal of everything else with the message that names the
// variable and the values it accepts.
#include "CallerContract.h"
#include "export/RecordOptions.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

class Environment : public ::testing::Test {
protected:
    void TearDown() override {
        SetEnvironmentVariableW(L"CONTACT_EXPORTER_TEXT", nullptr);
        SetEnvironmentVariableW(L"CONTACT_EXPORTER_FIELDS", nullptr);
    }

    static exporting::RecordOptions optionsFor(const wchar_t* textValue, const wchar_t* fieldsValue) {
        SetEnvironmentVariableW(L"CONTACT_EXPORTER_TEXT", textValue);
        SetEnvironmentVariableW(L"CONTACT_EXPORTER_FIELDS", fieldsValue);
        return exporting::recordOptionsFromEnvironment();
    }

    static std::string refusalOf(const wchar_t* textValue, const wchar_t* fieldsValue) {
        try {
            optionsFor(textValue, fieldsValue);
        } catch (const std::runtime_error& refusal) {
            return refusal.what();
        }
        return "(accepted)";
    }
};

}  // namespace

TEST_F(Environment, KnownValuesAskForWhatTheyName) {
    struct Case {
        const wchar_t* text;
        const wchar_t* fields;
        text::RecordEncoding encoding;
        bool withId;
        bool withModified;
    };
    using text::RecordEncoding;
    const Case cases[] = {
        {nullptr, nullptr, RecordEncoding::ansi, false, false},
        {L"", L"", RecordEncoding::ansi, false, false},
        {L"ansi", nullptr, RecordEncoding::ansi, false, false},
        {L"utf-8", nullptr, RecordEncoding::utf8, false, false},
        {nullptr, L"id", RecordEncoding::ansi, true, false},
        {nullptr, L"modified", RecordEncoding::ansi, false, true},
        // The order of the list is not the order of the members.
        {L"utf-8", L"modified,id", RecordEncoding::utf8, true, true},
        {nullptr, L"id,id", RecordEncoding::ansi, true, false},
    };
    for (const Case& each : cases) {
        const exporting::RecordOptions options = optionsFor(each.text, each.fields);
        EXPECT_EQ(options.encoding, each.encoding);
        EXPECT_EQ(options.withId, each.withId);
        EXPECT_EQ(options.withModified, each.withModified);
    }
}

TEST_F(Environment, UnknownValuesAreRefusedWithTheValuesAccepted) {
    for (const wchar_t* text : {L"latin-1", L"UTF-8", L"utf8", L" ansi", L"ansi,utf-8"}) {
        EXPECT_EQ(refusalOf(text, nullptr), callerContract::unknownTextOption);
    }
    for (const wchar_t* fields : {L"id,colour", L"ID", L"id,", L",id", L"id,,modified", L",", L"id modified"}) {
        EXPECT_EQ(refusalOf(nullptr, fields), callerContract::unknownFieldsOption);
    }
}
