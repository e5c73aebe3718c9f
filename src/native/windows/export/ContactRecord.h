#pragma once

#include "text/StandardStreams.h"
#include "text/WideString.h"

#include <string_view>

// A JSON array's entries: the comma before every entry but the first.
class JsonList {
public:
    void beginEntry() {
        if (!first) text::writeOut(",");
        first = false;
    }

private:
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
    ContactRecord() { text::writeOut("{"); }
    ContactRecord(const ContactRecord&) = delete;
    ContactRecord& operator=(const ContactRecord&) = delete;

    // "image" in two steps: its key is written before the picture is
    // fetched and saved, so a failure there leaves the output ending in it.
    void beginImage() { text::writeOut("\"image\":"); }
    void endImage(std::string_view base64);

    // "displayname": a full name that is not empty.
    void displayName(const text::WideString& fullName);

    // "emailaddrs": always, with the entries that `writeEntries(JsonList&)`
    // writes. A failure inside leaves the array open.
    template <typename WriteEntries>
    void emailAddresses(WriteEntries&& writeEntries) {
        writeList("\"emailaddrs\":[", writeEntries, "]");
    }

    // "firstname": a first name that is not empty.
    void firstName(const text::WideString& name);
    // "surname": a last name of two characters or more.
    void surname(const text::WideString& name);

    // "phones": always, last, closing the record.
    template <typename WriteEntries>
    void phones(WriteEntries&& writeEntries) {
        writeList(",\"phones\":[", writeEntries, "]}");
    }

private:
    template <typename WriteEntries>
    static void writeList(std::string_view opening, WriteEntries& writeEntries, std::string_view closing) {
        text::writeOut(opening);
        JsonList entries;
        writeEntries(entries);
        text::writeOut(closing);
    }
};
