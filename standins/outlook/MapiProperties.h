#pragma once

#include "Session.h"
#include "com/ComRef.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>
#include <unknwn.h>

namespace standin::outlook {

// A contact's MAPIOBJECT, as the profile's "mapiObject" says.
//
// In process, "IMAPIProp": an IMAPIProp that serves the contact's e-mail
// members as PSETID_Address named properties (ContactMapiProp);
// "unmarshallable": an object that answers IUnknown alone, as Outlook's MAPI
// objects behave towards another process.
//
// In the local server always the same IMAPIProp, without marshalling of its
// own, as Outlook's: COM passes it by standard marshalling, and the
// client's query for IMAPIProp fails for want of a registered proxy.
com::ComRef<IUnknown> createMapiObject(const SessionPtr& session, size_t item);

}  // namespace standin::outlook
