#pragma once

#include "platform/com/WideString.h"
#include "text/JsonEscape.h"
#include "text/OutputSink.h"

#include <string_view>

namespace exporting {

using com::WideString;

// A JSON array's entries: the comma before every entry but the first, and
// the entries' own punctuation. An entry's comma goes out as soon as the
// entry is certain, before its value is made (converted, resolved), so a
// failure there leaves the output ending in the comma.
class JsonList {
public:
    JsonList(text::OutputSink& sink, text::RecordEncoding recordEncoding) noexcept
        : output(sink), encoding(recordEncoding) {}
    JsonList(const JsonList&) = delete;
    JsonList& operator=(const JsonList&) = delete;

    // A string entry, whose value `makeValue()` then gives.
    template <typename MakeValue>
    void addString(MakeValue&& makeValue) {
        beginEntry();
        writeString(makeValue());
    }
    // A phone entry: {"type":"<label>","number":"<number>"}, the label as it
    // is and the number as JSON text.
    void addPhone(std::string_view label, const WideString& number);

private:
    void beginEntry();
    void writeString(const WideString& value);

    text::OutputSink& output;
    const text::RecordEncoding encoding;
    bool first = true;
};

// One contact's record: a JSON object on one line, written while the contact
// is read, its members in a fixed order and the optional ones left out. It
// owns the record's punctuation. The e-mail array is always written: the
// members before it carry their comma after them, the members after it
// before them. So a comma is written as soon as it is certain, and what a
// failed call leaves in the output ends where that call stood.
class ContactRecord {
public:
    ContactRecord(text::OutputSink& sink, text::RecordEncoding recordEncoding);
    ContactRecord(const ContactRecord&) = delete;
    ContactRecord& operator=(const ContactRecord&) = delete;

    // "image" in two steps: its key is written before the picture is
    // fetched and saved, so a failure there leaves the output ending in it.
    void beginImage();
    void endImage(std::string_view base64);

    // "displayname": a full name that is not empty.
    void displayName(const WideString& fullName);

    // "emailaddrs": always, with the entries that `writeEntries(JsonList&)`
    // writes. A failure inside leaves the array open.
    template <typename WriteEntries>
    void emailAddresses(WriteEntries&& writeEntries) {
        writeList("\"emailaddrs\":[", writeEntries, "]");
    }

    // "firstname": a first name that is not empty.
    void firstName(const WideString& name);
    // "surname": a last name of two characters or more.
    void surname(const WideString& name);

    // "phones": always, after the names.
    template <typename WriteEntries>
    void phones(WriteEntries&& writeEntries) {
        writeList(",\"phones\":[", writeEntries, "]");
    }

    // The members a caller asks for, after "phones": "id", the contact's
    // EntryID; "modified", its last change as YYYY-MM-DDTHH:MM:SSZ.
    void id(const WideString& entryId);
    void modified(std::string_view utcTimestamp);

    // Closes the record.
    void end();

private:
    template <typename WriteEntries>
    void writeList(std::string_view opening, WriteEntries& writeEntries, std::string_view closing) {
        output.write(opening);
        JsonList entries(output, encoding);
        writeEntries(entries);
        output.write(closing);
    }

    text::OutputSink& output;
    const text::RecordEncoding encoding;
};

}  // namespace exporting
