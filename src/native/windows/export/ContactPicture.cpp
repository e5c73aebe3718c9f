#include "export/ContactPicture.h"

#include "CallerContract.h"
#include "platform/com/BusyRetry.h"
#include "platform/com/ComError.h"
#include "text/Base64.h"
#include "text/Diagnostics.h"

#include <optional>
#include <utility>

namespace {

// The name Outlook gives the attachment that holds a contact's picture.
constexpr wchar_t pictureFileName[] = L"ContactPicture.jpg";

bool isPictureFileName(const com::WideString& name) {
    return CompareStringOrdinal(name.get(), static_cast<int>(name.lengthToFirstNul()), pictureFileName, -1, TRUE) ==
           CSTR_EQUAL;
}

// The attachment at `position`, and whether it is named as Outlook names a
// contact's picture. An attachment whose name cannot be read (an unusual
// kind of attachment, say) is not the picture. A call that never reached a
// working Outlook (busy past the deadline, or gone) says nothing of the
// attachment: it ends the walk as a failed call does, rather than let
// another attachment pass for the picture.
struct Candidate {
    outlook::Attachment attachment;
    bool namedAsPicture = false;
};

Candidate candidateAt(const outlook::Attachments& attachments, long position) {
    Candidate candidate;
    try {
        candidate.attachment = attachments.item(static_cast<int>(position));
        candidate.namedAsPicture = isPictureFileName(candidate.attachment.fileName());
    } catch (const com::ComError& error) {
        if (com::callNeverRan(error.result())) throw;
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

ContactPicture::ContactPicture(const std::wstring& path, text::OutputSink& sink)
    : picturePath(WideString::copyOf(path.data(), path.size())), output(sink) {}

WalkStep ContactPicture::write(const outlook::ContactItem& contact, outlook::Attachments& attachments,
                               ContactRecord& record) {
    if (!contact.hasPicture()) return WalkStep::goOn;

    attachments = contact.attachments();
    if (!attachments) {
        output.writeError(callerContract::noAttachments);
        diagnostics::reportEvent("_ContactItem.Attachments gave no attachments: the export stops here.");
        return WalkStep::stop;
    }
    const long count = attachments.count();
    if (count < 1) return WalkStep::goOn;

    record.beginImage();
    const outlook::Attachment picture = pictureAttachment(attachments, count);
    std::optional<std::string> base64;
    {
        const PictureFileLock::Holding holding = pictureFileLock.hold(picturePath.get());
        picture.saveAsFile(picturePath);
        base64 = text::readFileAsBase64(picturePath.get());
    }
    // A picture that cannot be read back ends the walk like a failed call.
    if (!base64) com::throwComError(STG_E_READFAULT, "reading the picture file back");
    record.endImage(*base64);
    return WalkStep::goOn;
}
