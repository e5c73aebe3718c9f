#pragma once

#include "export/CurrentContact.h"
#include "text/OutputSink.h"

#include <windows.h>

#include <string_view>

namespace exporting {

// The diagnostics lines that say which road a run's e-mail addresses take,
// and why: where a road cannot serve the run, where a contact cannot be read
// on its road, and where the road that Outlook's security prompt guards
// begins. Each is written only when diagnostics are asked for, and never
// changes how a run ends.
class RoadReports {
public:
    explicit RoadReports(text::OutputSink& sink) noexcept : errors(sink) {}

    // The contact's MAPIOBJECT gave no IMAPIProp (`queried`, the query's
    // result), or no object at all (S_OK).
    void mapiObjectUnusable(HRESULT queried) const noexcept;

    void sessionOpened(std::wstring_view profileName) const noexcept;
    // The step of opening the session that failed (MAPILogonEx, say).
    void sessionUnavailable(HRESULT result, std::string_view step) const noexcept;
    // The session opened, but cannot name the e-mail properties in the store.
    void sessionCannotNameProperties(HRESULT result) const noexcept;
    void addressBookUnavailable(HRESULT result) const noexcept;

    // The contact could not be read on its road: `operation` failed.
    void contactNotRead(const CurrentContact& contact, HRESULT result, std::string_view operation) const noexcept;

    // From here on the run reads the addresses through the object model.
    void objectModelFromHere() const noexcept;

private:
    void failed(HRESULT result, std::string_view operation, std::string_view hint) const noexcept;

    text::OutputSink& errors;
};

}  // namespace exporting
