#include "connection/ContactExporter.h"

#include "export/PictureFileLock.h"

#include "platform/ComError.h"
#include "text/Base64.h"
#include "text/StandardStreams.h"
#include "text/TextConversion.h"

#include <optional>

using text::writeOut;

bool ContactExporter::writePicture(const outlook::ContactItem& contact, outlook::Attachments& attachments) {
    if (!contact.hasPicture()) return true;

    attachments = contact.attachments();
    if (!attachments) {
        text::writeError("Unabel to get Attachments.");
        return false;
    }
    if (attachments.count() < 1) return true;

    writeOut("\"image\":");
    const outlook::Attachment picture = attachments.item(1);
    const text::WideString widePicturePath = text::utf8ToWide(picturePath);
    std::optional<std::string> base64;
    {
        const PictureFileLock lock(std::wstring(widePicturePath.get(), widePicturePath.length()));
        picture.saveAsFile(widePicturePath);
        base64 = text::readFileAsBase64(picturePath);
    }
    // A picture that cannot be read back ends the walk like a failed call.
    if (!base64) platform::throwComError(STG_E_READFAULT);
    writeOut("\"");
    writeOut(*base64);
    writeOut("\",");
    return true;
}
