#pragma once

#include <windows.h>
#include <unknwn.h>

#include "Session.h"
#include "platform/ComRef.h"
#include "platform/MapiDefinitions.h"

namespace outlook {

// A contact's MAPIOBJECT: an IMAPIProp that serves the six e-mail members as
// PSETID_Address named properties.
//
// IMAPIProp has no registered proxy, so the object marshals itself: a client
// in another process gets a MapiPropertiesProxy that forwards GetIDsFromNames
// and GetProps to a MapiChannel beside this object, and receives the answers
// in its own MAPI buffers.
platform::ComRef<mapi::IMAPIProp> createMapiProperties(const SessionPtr& session, size_t item);

}  // namespace outlook
