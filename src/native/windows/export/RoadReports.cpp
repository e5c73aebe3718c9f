#include "export/RoadReports.h"

#include "platform/com/ComError.h"
#include "text/Diagnostics.h"
#include "text/TextConversion.h"

#include <string>

namespace exporting {

// The failure line of `operation`, with `hint` after it; nothing when
// diagnostics are off or the line cannot be made.
void RoadReports::failed(HRESULT result, std::string_view operation, std::string_view hint) const noexcept {
    if (!diagnostics::enabled()) return;
    try {
        diagnostics::reportFailure(errors, com::ComError(result, std::string(operation)), hint);
    } catch (...) {
    }
}

void RoadReports::mapiObjectUnusable(HRESULT queried) const noexcept {
    if (queried == S_OK) {
        diagnostics::reportEvent(errors, "_ContactItem.MAPIOBJECT gave no object.");
        return;
    }
    failed(queried, "QueryInterface IMAPIProp on MAPIOBJECT", "Outlook's MAPI objects do not reach this process.");
}

void RoadReports::sessionOpened(std::wstring_view profileName) const noexcept {
    if (!diagnostics::enabled()) return;
    try {
        diagnostics::reportEvent(errors,
                                 "The e-mail addresses are read through a MAPI session of the exporter's own on the "
                                 "profile \"" +
                                     text::wideToUtf8(profileName.data(), profileName.size()) +
                                     "\", which Outlook's security prompt does not guard.");
    } catch (...) {
    }
}

void RoadReports::sessionUnavailable(HRESULT result, std::string_view step) const noexcept {
    failed(result, step, "The exporter has no MAPI session of its own.");
}

void RoadReports::sessionCannotNameProperties(HRESULT result) const noexcept {
    failed(result, "IMessage.GetIDsFromNames",
           "The exporter's MAPI session cannot name the e-mail properties in the contacts' store.");
}

void RoadReports::addressBookUnavailable(HRESULT result) const noexcept {
    failed(result, "IMAPISession.OpenAddressBook",
           "Exchange addresses are looked up by name through the object model from here on; Outlook may show its "
           "security prompt.");
}

void RoadReports::contactNotRead(const CurrentContact& contact, HRESULT result,
                                 std::string_view operation) const noexcept {
    if (!diagnostics::enabled()) return;
    try {
        failed(result, std::string(operation) + " for the contact at position " + std::to_string(contact.position()),
               "Its e-mail addresses are read through the object model; Outlook may show its security prompt.");
    } catch (...) {
    }
}

void RoadReports::objectModelFromHere() const noexcept {
    diagnostics::reportEvent(
        errors,
        "The e-mail addresses are read through the object model from here on; Outlook may show its security prompt.");
}

}  // namespace exporting
