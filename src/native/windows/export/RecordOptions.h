#pragma once

#include "text/JsonEscape.h"

namespace exporting {

// What a caller asks of the records, in two environment variables read at
// start, before Outlook is started. Without them the records are what they
// have always been.
//   CONTACT_EXPORTER_TEXT    ansi (the default) or utf-8: the encoding of
//                            every text in the records
//   CONTACT_EXPORTER_FIELDS  a comma-separated list of id and modified: the
//                            members written after "phones", in that order
struct RecordOptions {
    text::RecordEncoding encoding = text::RecordEncoding::ansi;
    bool withId = false;        // "id": the contact's EntryID
    bool withModified = false;  // "modified": its last change, in UTC
};

// The options the environment asks for. A variable that is not set, or set
// to the empty text, asks for nothing. A value the exporter does not know
// (an unknown encoding or name, an empty name in the list) raises
// std::runtime_error with the message that tells the caller the values
// accepted.
RecordOptions recordOptionsFromEnvironment();

}  // namespace exporting
