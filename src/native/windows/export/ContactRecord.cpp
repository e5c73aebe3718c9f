#include "export/ContactRecord.h"

#include "text/JsonEscape.h"

namespace exporting {

namespace {

// `opening` (literal text ending in a quotation mark), the JSON text of
// `value`, and the closing quotation mark. The opening goes out before the
// value is escaped: a conversion that fails leaves the output ending in it.
void writeJsonString(text::OutputSink& output, std::string_view opening, const WideString& value,
                     text::RecordEncoding encoding) {
    output.write(opening);
    output.write(text::escapeForJson(value, encoding));
    output.write("\"");
}

}  // namespace

void JsonList::beginEntry() {
    if (!first) output.write(",");
    first = false;
}

void JsonList::writeString(const WideString& value) { writeJsonString(output, "\"", value, encoding); }

void JsonList::addPhone(std::string_view label, const WideString& number) {
    // The number is escaped after its comma and before the rest of its
    // entry: a conversion that fails leaves the output ending in the comma.
    beginEntry();
    const std::string json = text::escapeForJson(number, encoding);
    output.write("{\"type\":\"");
    output.write(label);
    output.write("\",\"number\":\"");
    output.write(json);
    output.write("\"}");
}

ContactRecord::ContactRecord(text::OutputSink& sink, text::RecordEncoding recordEncoding)
    : output(sink), encoding(recordEncoding) {
    output.write("{");
}

void ContactRecord::beginImage() { output.write("\"image\":"); }

void ContactRecord::endImage(std::string_view base64) {
    // Base64 needs no escaping: its solidi stay as they are.
    output.write("\"");
    output.write(base64);
    output.write("\",");
}

void ContactRecord::displayName(const WideString& fullName) {
    if (fullName.length() == 0) return;
    writeJsonString(output, "\"displayname\":\"", fullName, encoding);
    output.write(",");
}

void ContactRecord::firstName(const WideString& name) {
    if (name.length() > 0) writeJsonString(output, ",\"firstname\":\"", name, encoding);
}

void ContactRecord::surname(const WideString& name) {
    if (name.length() > 1) writeJsonString(output, ",\"surname\":\"", name, encoding);
}

void ContactRecord::id(const WideString& entryId) { writeJsonString(output, ",\"id\":\"", entryId, encoding); }

void ContactRecord::modified(std::string_view utcTimestamp) {
    output.write(",\"modified\":\"");
    output.write(utcTimestamp);
    output.write("\"");
}

void ContactRecord::end() { output.write("}"); }

}  // namespace exporting
