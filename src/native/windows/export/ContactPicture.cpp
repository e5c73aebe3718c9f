#include "export/ContactPicture.h"

#include "CallerContract.h"
#include "platform/com/ComError.h"
#include "text/Base64.h"
#include "text/Diagnostics.h"

#include <optional>
#include <string>
#include <utility>

namespace exporting {

namespace {

// The name Outlook gives the attachment that holds a contact's picture.
constexpr wchar_t pictureFileName[] = L"ContactPicture.jpg";

bool isPictureFileName(const com::WideString& name) {
    return CompareStringOrdinal(name.get(), static_cast<int>(name.lengthToFirstNul()), pictureFileName, -1, TRUE) ==
           CSTR_EQUAL;
}

// A call about the attachment at `position` of `count`. A failure is named
// after the attachment ("Attachment.FileName of attachment 2 of 3"), as
// diagnostics report it.
template <typename Call>
auto aboutAttachment(long position, long count, Call&& call) -> decltype(call()) {
    try {
        return call();
    } catch (const com::ComError& error) {
        throw com::ComError(
            error.result(),
            error.operation() + " of attachment " + std::to_string(position) + " of " + std::to_string(count),
            error.description());
    }
}

// The attachment that holds the picture: the first, in the collection's
// order, named as Outlook names the picture; the first attachment when none
// is. Nothing makes the picture the first of a contact's attachments, and a
// lone attachment is the picture whatever its name. An attachment before the
// choice is made that cannot be had, or whose name cannot be read, might be
// the picture or not: nobody can tell, so the walk ends as on a failed call.
// Passing over it would only trade a visible failure for a wrong picture.
outlook::Attachment pictureAttachment(const outlook::Attachments& attachments, long count) {
    if (count == 1) return attachments.item(1);
    outlook::Attachment first;
    for (long position = 1; position <= count; ++position) {
        outlook::Attachment attachment =
            aboutAttachment(position, count, [&] { return attachments.item(static_cast<int>(position)); });
        if (aboutAttachment(position, count, [&] { return isPictureFileName(attachment.fileName()); })) {
            return attachment;
        }
        if (position == 1) first = std::move(attachment);
    }
    return first;
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

}  // namespace exporting
