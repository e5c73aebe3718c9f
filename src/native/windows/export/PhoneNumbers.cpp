#include "connection/ContactExporter.h"

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

}  // namespace

void ContactExporter::writePhones(const outlook::ContactItem& contact) {
    for (const PhoneType& phone : phoneTypes) writePhone(phone.label, contact.text(phone.property));
}

void ContactExporter::writePhone(const char* label, text::WideString number) {
    if (number.length() == 0) return;
    if (!firstPhone) writeOut(",");
    const std::string json = text::escapeForJson(number);
    writeOut("{\"type\":\"");
    writeOut(label);
    writeOut("\",\"number\":\"");
    writeOut(json);
    writeOut("\"}");
    firstPhone = false;
}
