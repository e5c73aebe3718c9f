#pragma once

#include "CallerContract.h"
#include "connection/MapiLibrary.h"
#include "platform/com/BusyMessageFilter.h"
#include "platform/com/ComApartment.h"
#include "platform/outlook/OutlookObjectModel.h"

#include <optional>
#include <string>

namespace connection {

// The one connection to Outlook for the whole run. Construction builds as
// much of it as it can: a COM error leaves it incomplete, with the status
// "ko". A failure to find Outlook installed or to load MAPI leaves the
// constructor as a std::runtime_error, and so does an allocation failure
// (std::bad_alloc).
class OutlookConnection {
public:
    OutlookConnection();
    ~OutlookConnection() = default;
    OutlookConnection(const OutlookConnection&) = delete;
    OutlookConnection& operator=(const OutlookConnection&) = delete;

    // "ko" unless the connection is complete, then Outlook's version (UTF-8).
    const std::string& statusText() const noexcept { return status; }

    // What the export reads. The namespace is null when the connection
    // could not open it; the picture path is empty without a temporary
    // directory; MAPI's entry points are null unless MAPI is loaded.
    const outlook::NameSpace& outlookNameSpace() const noexcept { return nameSpace; }
    const std::wstring& pictureFilePath() const noexcept { return picturePath; }
    const MapiEntryPoints* mapiEntryPoints() const noexcept {
        return mapiLibrary ? &mapiLibrary->entryPoints() : nullptr;
    }

private:
    void connect();

    // In the order in which the connection acquires them, so that
    // destroying the members is the teardown, in reverse: MAPI, loaded
    // last, is ended and its library released first; then Outlook's
    // objects, whose releases are calls into Outlook and need COM and the
    // message filter that waits out a busy Outlook; then the filter; COM is
    // left last. The destructor is defaulted: the order is the whole
    // teardown.
    com::ComApartment apartment;
    com::MessageFilterRegistration busyMessageFilter = com::registerBusyMessageFilter();
    outlook::NameSpace nameSpace;
    outlook::Application application;
    std::string status = callerContract::ko;
    std::wstring picturePath;
    std::optional<MapiLibrary> mapiLibrary;
};

}  // namespace connection
