#pragma once

#include <windows.h>
#include <unknwn.h>

#include "Session.h"
#include "com/ComRef.h"
#include "mapi/MapiDefinitions.h"

namespace outlook {

// A contact's MAPIOBJECT, as the profile's "mapiObject" says.
//
// "IMAPIProp": an IMAPIProp that serves the six e-mail members as
// PSETID_Address named properties. IMAPIProp has no registered proxy, so
// the object marshals itself: a client in another process gets a
// MapiPropertiesProxy that forwards GetIDsFromNames and GetProps to a
// MapiChannel beside this object, and receives the answers in its own MAPI
// buffers.
//
// "unmarshallable", as Outlook's MAPI objects behave towards another
// process: in process, an object that answers IUnknown alone; in the local
// server, the same IMAPIProp without its own marshalling, so that COM
// passes it by standard marshalling and the client's query for IMAPIProp
// fails for want of a registered proxy.
com::ComRef<IUnknown> createMapiObject(const SessionPtr& session, size_t item);

}  // namespace outlook
