#include "export/ContactRecord.h"

#include "export/JsonString.h"

using text::writeOut;

void ContactRecord::endImage(std::string_view base64) {
    // Base64 needs no escaping: its solidi stay as they are.
    writeOut("\"");
    writeOut(base64);
    writeOut("\",");
}

void ContactRecord::displayName(const text::WideString& fullName) {
    if (fullName.length() == 0) return;
    writeJsonString("\"displayname\":\"", fullName);
    writeOut(",");
}

void ContactRecord::firstName(const text::WideString& name) {
    if (name.length() > 0) writeJsonString(",\"firstname\":\"", name);
}

void ContactRecord::surname(const text::WideString& name) {
    if (name.length() > 1) writeJsonString(",\"surname\":\"", name);
}
