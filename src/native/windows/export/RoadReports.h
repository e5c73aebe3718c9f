#pragma once

#include "export/CurrentContact.h"

#include <windows.h>

#include <string_view>

namespace exporting {

// The diagnostics lines that say which road a run's e-mail addresses take,
// and why: where a road cannot serve the run, where a contact cannot be read
// on its road, and where the road that Outlook's security prompt guards
// begins.
namespace roadReports {

// The contact's MAPIOBJECT gave no IMAPIProp (`queried`, the query's
// result), or no object at all (S_OK).
void mapiObjectUnusable(HRESULT queried) noexcept;

void sessionOpened(std::wstring_view profileName) noexcept;
// The step of opening the session that failed (MAPILogonEx, say).
void sessionUnavailable(HRESULT result, std::string_view step) noexcept;
// The session opened, but cannot name the e-mail properties in the store.
void sessionCannotNameProperties(HRESULT result) noexcept;
void addressBookUnavailable(HRESULT result) noexcept;

// The contact could not be read on its road: `operation` failed.
void contactNotRead(const CurrentContact& contact, HRESULT result, std::string_view operation) noexcept;

// From here on the run reads the addresses through the object model.
void objectModelFromHere() noexcept;

}  // namespace roadReports

}  // namespace exporting
