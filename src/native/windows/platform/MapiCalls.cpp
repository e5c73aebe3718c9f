#include "platform/MapiCalls.h"

#include "platform/BusyRetry.h"

namespace mapi {

HRESULT getIDsFromNames(IMAPIProp& properties, ULONG nameCount, MAPINAMEID** names, Buffer<SPropTagArray>& tags) {
    return platform::retryWhileBusy([&] { return properties.GetIDsFromNames(nameCount, names, 0, tags.put()); });
}

HRESULT getProps(IMAPIProp& properties, SPropTagArray* tags, ULONG& valueCount, Buffer<SPropValue>& values) {
    return platform::retryWhileBusy([&] {
        valueCount = 0;
        return properties.GetProps(tags, 0, &valueCount, values.put());
    });
}

}  // namespace mapi
