#pragma once

#include "connection/MapiLibrary.h"
#include "export/ContactPicture.h"
#include "export/CurrentContact.h"
#include "export/EmailAddresses.h"
#include "export/RecordOptions.h"
#include "platform/outlook/OutlookObjectModel.h"
#include "text/OutputSink.h"

#include <string>

namespace connection {
class OutlookConnection;
}  // namespace connection

namespace exporting {

// The export mode's work: every contact of the default contacts folder as
// one JSON line, walking the folder from its last item to its first, then
// the trailer line "contatti trovati: N / M" (N records written, M items in
// the folder). It reads the connection, which outlives it, and writes to its
// sink as it reads; nothing is collected first.
class ContactExport {
public:
    // The connection's namespace, the picture file's path, and MAPI's entry
    // points when MAPI is loaded (null otherwise).
    ContactExport(const outlook::NameSpace& nameSpace, const std::wstring& picturePath,
                  const connection::MapiEntryPoints* mapi, const RecordOptions& options, text::OutputSink& output);
    ContactExport(const connection::OutlookConnection& connection, const RecordOptions& options,
                  text::OutputSink& output);
    ContactExport(const ContactExport&) = delete;
    ContactExport& operator=(const ContactExport&) = delete;

    // A failed call, memory running short, or a reader that stopped reading
    // ends the walk where it stands, quietly: what was written stays, and
    // the missing trailer tells the reader.
    void exportContacts();

private:
    void walkContacts();
    WalkStep writeContactRecord(CurrentContact& contact, outlook::Attachments& attachments);

    const outlook::NameSpace& nameSpace;
    const RecordOptions options;
    text::OutputSink& output;
    // The folder and its items first: the e-mail roads read the folder's
    // store, and they go (the MAPI session logged off) before it.
    outlook::Folder contactsFolder;
    outlook::Items contactItems;
    ContactPicture picture;
    EmailAddresses emailAddresses;
};

}  // namespace exporting
