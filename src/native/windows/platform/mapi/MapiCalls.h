#pragma once

#include "MapiBuffer.h"
#include "MapiDefinitions.h"

// The IMAPIProp calls that the exporter makes on a contact's message
// object. Like every call into Outlook, each is made again while Outlook
// turns it away as busy.
namespace mapi {

HRESULT getIDsFromNames(IMAPIProp& properties, ULONG nameCount, MAPINAMEID** names, Buffer<SPropTagArray>& tags);
HRESULT getProps(IMAPIProp& properties, SPropTagArray* tags, ULONG& valueCount, Buffer<SPropValue>& values);

}  // namespace mapi
