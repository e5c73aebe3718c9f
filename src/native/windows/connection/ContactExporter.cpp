#include "connection/ContactExporter.h"

#include "CallerContract.h"
#include "platform/ComError.h"
#include "text/StandardStreams.h"
#include "text/TextConversion.h"

namespace {

constexpr const char* pictureFileName = "contactimage.jpg";

}  // namespace

ContactExporter::ContactExporter() {
    try {
        connect();
    } catch (const platform::ComError&) {
        // An incomplete connection: the status stays "ko".
    }
}

void ContactExporter::connect() {
    application = outlook::Application::startOrAttach();
    if (!application) return;

    nameSpace = application.getNamespace(text::ansiToWide("MAPI"));
    if (!nameSpace) return;

    wchar_t temporaryDirectory[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporaryDirectory);
    if (length == 0 || length > MAX_PATH) {
        text::writeError(callerContract::noTemporaryDirectory);
        return;
    }
    picturePath = text::wideToUtf8(temporaryDirectory, length) + pictureFileName;

    const text::WideString version = application.version();
    status = text::wideToUtf8(version.get(), version.lengthToFirstNul());

    mapiLibrary.emplace(loadMapiLibrary());
}
