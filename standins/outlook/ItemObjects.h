#pragma once

#include <windows.h>
#include <oaidl.h>

#include "Session.h"

namespace outlook {

// A new object for the profile's item at `item` (0-based): a ContactItem or,
// for other classes, an OtherItem. The caller owns the one reference.
IDispatch* createItemObject(const SessionPtr& session, size_t item);

// The operation "item.QueryInterface": a query of any item for _ContactItem.
// Journals the call and returns the planned fault's result, or S_OK when none
// applies. A "result": "null" fault refuses the interface (E_NOINTERFACE):
// QueryInterface cannot succeed without an object.
HRESULT contactInterfaceQuery(const Session& session, const IID& itemInterface);

}  // namespace outlook
