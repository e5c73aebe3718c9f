#pragma once

#include <windows.h>
#include <unknwn.h>

namespace outlook {

// The class object of CLSID_MapiPropertiesProxy: the client end of a
// MAPIOBJECT that lives in another process (see MapiProperties.h). COM
// creates the proxy in the client to unmarshal the object; it implements
// IMAPIProp by sending GetIDsFromNames and GetProps to the server's
// MapiChannel, and hands the answers over in the client's MAPI buffers.
HRESULT getMapiPropertiesProxyClassObject(REFIID iid, void** object);

}  // namespace outlook
