#include "export/RoadReports.h"

#include "platform/com/ComError.h"
#include "text/Diagnostics.h"
#include "text/TextConversion.h"

#include <string>

namespace exporting {

namespace roadReports {

namespace {

// The failure line of `operation`, with `hint` after it; nothing when
// diagnostics are off or the line cannot be made.
void reportFailed(HRESULT result, std::string_view operation, std::string_view hint) noexcept {
    if (!diagnostics::enabled()) return;
    try {
        diagnostics::reportFailure(com::ComError(result, std::string(operation)), hint);
    } catch (...) {
    }
}

}  // namespace

void mapiObjectUnusable(HRESULT queried) noexcept {
    if (queried == S_OK) {
        diagnostics::reportEvent("_ContactItem.MAPIOBJECT gave no object.");
        return;
    }
    reportFailed(queried, "QueryInterface IMAPIProp on MAPIOBJECT",
                 "Outlook's MAPI objects do not reach this process.");
}

void sessionOpened(std::wstring_view profileName) noexcept {
    if (!diagnostics::enabled()) return;
    try {
        diagnostics::reportEvent(
            "The e-mail addresses are read through a MAPI session of the exporter's own on the "
            "profile \"" +
            text::wideToUtf8(profileName.data(), profileName.size()) +
            "\", which Outlook's security prompt does not guard.");
    } catch (...) {
    }
}

void sessionUnavailable(HRESULT result, std::string_view step) noexcept {
    reportFailed(result, step, "The exporter has no MAPI session of its own.");
}

void sessionCannotNameProperties(HRESULT result) noexcept {
    reportFailed(result, "IMessage.GetIDsFromNames",
                 "The exporter's MAPI session cannot name the e-mail properties in the contacts' store.");
}

void addressBookUnavailable(HRESULT result) noexcept {
    reportFailed(result, "IMAPISession.OpenAddressBook",
                 "Exchange addresses are looked up by name through the object model from here on; Outlook may "
                 "show its security prompt.");
}

void contactNotRead(const CurrentContact& contact, HRESULT result, std::string_view operation) noexcept {
    if (!diagnostics::enabled()) return;
    try {
        reportFailed(result,
                     std::string(operation) + " for the contact at position " + std::to_string(contact.position()),
                     "Its e-mail addresses are read through the object model; Outlook may show its security "
                     "prompt.");
    } catch (...) {
    }
}

void objectModelFromHere() noexcept {
    diagnostics::reportEvent(
        "The e-mail addresses are read through the object model from here on; Outlook may show its security prompt.");
}

}  // namespace roadReports

}  // namespace exporting
