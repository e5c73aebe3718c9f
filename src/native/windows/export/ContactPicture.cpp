#include "connection/ContactExporter.h"

#include "CallerContract.h"
#include "export/ContactRecord.h"
#include "platform/ComError.h"
#include "text/Base64.h"
#include "text/Diagnostics.h"
#include "text/StandardStreams.h"
#include "text/TextConversion.h"

#include <optional>
#include <utility>

namespace {

// The name Outlook gives the attachment that holds a contact's picture.
constexpr wchar_t pictureFileName[] = L"ContactPicture.jpg";

bool isPictureFileName(const text::WideString& name) {
    return CompareStringOrdinal(name.get(), static_cast<int>(name.lengthToFirstNul()), pictureFileName, -1, TRUE) ==
           CSTR_EQUAL;
}

// The attachment at `position`, and whether it is named as Outlook names a
// contact's picture. An attachment whose name cannot be read (an unusual
// kind of attachment, say) is not the picture; a busy Outlook has been
// waited for before that is decided.
struct Candidate {
    outlook::Attachment attachment;
    bool namedAsPicture = false;
};

Candidate candidateAt(const outlook::Attachments& attachments, long position) {
    Candidate candidate;
    try {
        candidate.attachment = attachments.item(static_cast<int>(position));
        candidate.namedAsPicture = isPictureFileName(candidate.attachment.fileName());
    } catch (const platform::ComError&) {
        candidate.namedAsPicture = false;
    }
    return candidate;
}

// The attachment that holds the picture. Nothing makes it the first of a
// contact's attachments: of two or more, the first named as Outlook names
// the picture is taken, and the first attachment when none is.
outlook::Attachment pictureAttachment(const outlook::Attachments& attachments, long count) {
    if (count == 1) return attachments.item(1);
    outlook::Attachment first;
    for (long position = 1; position <= count; ++position) {
        Candidate candidate = candidateAt(attachments, position);
        if (candidate.namedAsPicture) return std::move(candidate.attachment);
        if (position == 1) first = std::move(candidate.attachment);
    }
    // The first attachment, asked for again when it could not be had above:
    // now its failure is the walk's.
    return first ? first : attachments.item(1);
}

}  // namespace

bool ContactExporter::writePicture(const outlook::ContactItem& contact, outlook::Attachments& attachments,
                                   ContactRecord& record) {
    if (!contact.hasPicture()) return true;

    attachments = contact.attachments();
    if (!attachments) {
        text::writeError(callerContract::noAttachments);
        diagnostics::reportEvent("_ContactItem.Attachments gave no attachments: the export stops here.");
        return false;
    }
    const long count = attachments.count();
    if (count < 1) return true;

    record.beginImage();
    const outlook::Attachment picture = pictureAttachment(attachments, count);
    const text::WideString widePicturePath = text::utf8ToWide(picturePath);
    std::optional<std::string> base64;
    {
        const PictureFileLock::Holding holding =
            pictureFileLock.hold(std::wstring(widePicturePath.get(), widePicturePath.length()));
        picture.saveAsFile(widePicturePath);
        base64 = text::readFileAsBase64(picturePath);
    }
    // A picture that cannot be read back ends the walk like a failed call.
    if (!base64) platform::throwComError(STG_E_READFAULT, "reading the picture file back");
    record.endImage(*base64);
    return true;
}
