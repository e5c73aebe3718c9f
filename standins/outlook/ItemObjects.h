#pragma once

#include "Session.h"
#include "com/ComRef.h"

#include <windows.h>
#include <oaidl.h>

namespace standin::outlook {

// A new object for the profile's item at `item` (0-based): a ContactItem or,
// for other classes, an OtherItem.
com::ComRef<IDispatch> createItemObject(const SessionPtr& session, size_t item);

}  // namespace standin::outlook
