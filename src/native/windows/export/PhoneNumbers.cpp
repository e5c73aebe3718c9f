#include "connection/ContactExporter.h"

#include "export/ContactRecord.h"
#include "text/JsonEscape.h"
#include "text/StandardStreams.h"

using outlook::ContactText;
using text::writeOut;

namespace {

struct PhoneType {
    const char* label;
    ContactText property;
};

// In the order the entries are written.
constexpr PhoneType phoneTypes[] = {
    {"business", ContactText::BusinessTelephoneNumber},   {"business2", ContactText::Business2TelephoneNumber},
    {"businessFax", ContactText::BusinessFaxNumber},      {"home", ContactText::HomeTelephoneNumber},
    {"home2", ContactText::Home2TelephoneNumber},         {"homeFax", ContactText::HomeFaxNumber},
    {"company", ContactText::CompanyMainTelephoneNumber}, {"other", ContactText::OtherTelephoneNumber},
    {"primary", ContactText::PrimaryTelephoneNumber},     {"mobile", ContactText::MobileTelephoneNumber},
};

// One entry for a number that is not empty. The number is escaped after its
// comma and before the rest of its entry: a conversion that fails leaves
// the output ending in the comma.
void writePhone(JsonList& phones, const char* label, const text::WideString& number) {
    if (number.length() == 0) return;
    phones.beginEntry();
    const std::string json = text::escapeForJson(number);
    writeOut("{\"type\":\"");
    writeOut(label);
    writeOut("\",\"number\":\"");
    writeOut(json);
    writeOut("\"}");
}

}  // namespace

void ContactExporter::writePhones(const outlook::ContactItem& contact, JsonList& phones) {
    for (const PhoneType& phone : phoneTypes) writePhone(phones, phone.label, contact.text(phone.property));
}
