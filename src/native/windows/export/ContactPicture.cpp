#include "connection/ContactExporter.h"

#include "CallerContract.h"
#include "export/ContactRecord.h"
#include "platform/ComError.h"
#include "text/Base64.h"
#include "text/StandardStreams.h"
#include "text/TextConversion.h"

#include <optional>

namespace {

// The name Outlook gives the attachment that holds a contact's picture.
constexpr wchar_t pictureFileName[] = L"ContactPicture.jpg";

bool isPictureFileName(const text::WideString& name) {
    return CompareStringOrdinal(name.get(), static_cast<int>(name.lengthToFirstNul()), pictureFileName, -1, TRUE) ==
           CSTR_EQUAL;
}

// The attachment that holds the picture. Nothing makes it the first of a
// contact's attachments: of two or more, the first named as Outlook names
// the picture is taken, and the first attachment when none is.
outlook::Attachment pictureAttachment(const outlook::Attachments& attachments, long count) {
    const outlook::Attachment first = attachments.item(1);
    if (count == 1 || isPictureFileName(first.fileName())) return first;
    for (long position = 2; position <= count; ++position) {
        const outlook::Attachment candidate = attachments.item(static_cast<int>(position));
        if (isPictureFileName(candidate.fileName())) return candidate;
    }
    return first;
}

}  // namespace

bool ContactExporter::writePicture(const outlook::ContactItem& contact, outlook::Attachments& attachments,
                                   ContactRecord& record) {
    if (!contact.hasPicture()) return true;

    attachments = contact.attachments();
    if (!attachments) {
        text::writeError(callerContract::noAttachments);
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
    if (!base64) platform::throwComError(STG_E_READFAULT);
    record.endImage(*base64);
    return true;
}
