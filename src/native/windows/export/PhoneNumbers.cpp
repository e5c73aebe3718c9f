#include "export/PhoneNumbers.h"

namespace exporting {

using outlook::ContactText;

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

void writePhones(const outlook::ContactItem& contact, JsonList& phones) {
    for (const PhoneType& phone : phoneTypes) {
        // Each number is read, and tested for being there, once.
        const WideString number = contact.text(phone.property);
        if (number.length() > 0) phones.addPhone(phone.label, number);
    }
}

}  // namespace exporting
