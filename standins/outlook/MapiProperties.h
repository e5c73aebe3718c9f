#pragma once

#include <windows.h>
#include <unknwn.h>

#include "Session.h"

namespace outlook {

// A contact's MAPIOBJECT: an IMAPIProp that serves the six e-mail members as
// PSETID_Address named properties. The caller owns the one reference.
IUnknown* createMapiProperties(const SessionPtr& session, size_t item);

}  // namespace outlook
