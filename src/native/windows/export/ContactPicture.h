#pragma once

#include "export/ContactRecord.h"
#include "export/PictureFileLock.h"
#include "platform/outlook/OutlookObjectModel.h"
#include "text/OutputSink.h"

#include <string>

namespace exporting {

// Whether the walk goes on after a step of it.
enum class WalkStep { goOn, stop };

// A contact's picture: Outlook saves the attachment that holds it to the
// picture file, which is read back as Base64 into the record's "image"
// member. One picture file serves the whole run.
class ContactPicture {
public:
    ContactPicture(const std::wstring& picturePath, text::OutputSink& output);

    // Writes the "image" member when the contact has a picture and at least
    // one attachment. `attachments` is the walk's: it keeps the collection
    // until the next picture or the end of the walk. Stops the walk when
    // Outlook gives no attachment collection for a picture.
    WalkStep write(const outlook::ContactItem& contact, outlook::Attachments& attachments, ContactRecord& record);

private:
    // Made once for the run: Outlook is given it for every picture.
    const WideString picturePath;
    text::OutputSink& output;
    PictureFileLock pictureFileLock;
};

}  // namespace exporting
