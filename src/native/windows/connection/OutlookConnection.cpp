#include "connection/OutlookConnection.h"

#include "CallerContract.h"
#include "platform/com/ComError.h"
#include "text/Diagnostics.h"
#include "text/StandardStreams.h"
#include "text/TextConversion.h"

#include <iterator>
#include <string_view>

namespace connection {

namespace {

constexpr wchar_t pictureFileName[] = L"contactimage.jpg";

// What a person can do about the usual reasons why Outlook cannot be started.
std::string_view startFailureHint(HRESULT result) {
    switch (result) {
    case CO_E_SERVER_EXEC_FAILURE:
        return "Outlook and the exporter may run at different elevations: run the exporter at the same elevation "
               "as Outlook (both as administrator, or neither).";
    case REGDB_E_CLASSNOTREG:
        return "Classic Outlook is not registered on this machine; the new Outlook for Windows has no COM "
               "automation and cannot be used.";
    case MK_E_UNAVAILABLE:
        return "Outlook could not be started, or it was switched to the new Outlook for Windows: start classic "
               "Outlook once by hand and try again.";
    default: return {};
    }
}

}  // namespace

OutlookConnection::OutlookConnection() {
    try {
        connect();
    } catch (const com::ComError& error) {
        // An incomplete connection: the status stays "ko".
        diagnostics::reportFailure(error, startFailureHint(error.result()));
    }
}

void OutlookConnection::connect() {
    application = outlook::Application::startOrAttach();

    constexpr wchar_t mapiNamespace[] = L"MAPI";
    nameSpace = application.getNamespace(com::WideString::copyOf(mapiNamespace, std::size(mapiNamespace) - 1));
    if (!nameSpace) {
        diagnostics::reportEvent("_Application.GetNamespace gave no namespace; the connection is incomplete.");
        return;
    }

    wchar_t temporaryDirectory[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporaryDirectory);
    if (length == 0 || length > MAX_PATH) {
        text::writeError(callerContract::noTemporaryDirectory);
        return;
    }
    picturePath = std::wstring(temporaryDirectory, length) + pictureFileName;

    const com::WideString version = application.version();
    status = text::wideToUtf8(version.get(), version.lengthToFirstNul());

    mapiLibrary.emplace(loadMapiLibrary());
}

}  // namespace connection
