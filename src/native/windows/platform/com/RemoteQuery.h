#pragma once

#include "BusyRetry.h"
#include "ComRef.h"

namespace com {

// Asks an object of Outlook's for another of its interfaces. Outlook lives
// in another process: the query is a round trip like any call, and a busy
// Outlook turns it away, so it passes the busy policy. Null, with the
// query's result, when the object is null or does not offer the interface.
template <typename Other, typename Interface>
HRESULT queryRemote(const ComRef<Interface>& object, const IID& iid, ComRef<Other>& result) {
    return retryWhileBusy([&] { return object.query(iid, result); });
}

}  // namespace com
