#include "MapiCalls.h"

#include "../com/BusyRetry.h"

namespace mapi {

HRESULT getIDsFromNames(IMAPIProp& properties, ULONG nameCount, MAPINAMEID** names, Buffer<SPropTagArray>& tags) {
    return com::retryWhileBusy([&] { return properties.GetIDsFromNames(nameCount, names, 0, tags.put()); });
}

HRESULT getProps(IMAPIProp& properties, SPropTagArray* tags, ULONG& valueCount, Buffer<SPropValue>& values) {
    return com::retryWhileBusy([&] {
        valueCount = 0;
        return properties.GetProps(tags, 0, &valueCount, values.put());
    });
}

}  // namespace mapi
