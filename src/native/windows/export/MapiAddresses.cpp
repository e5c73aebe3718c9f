#include "export/MapiAddresses.h"

#include "export/MapiText.h"
#include "platform/outlook/OutlookDefinitions.h"

#include <iterator>

namespace exporting {

namespace {

constexpr ULONG pairValues = std::size(outlook::emailNamedProperties);

}  // namespace

MapiAddresses readMapiAddresses(const mapi::SPropValue* values, ULONG count) {
    MapiAddresses read;
    for (ULONG at = 0; at < count; ++at) {
        if (const HRESULT error = mapiText::unreadError(values[at]); FAILED(error)) {
            read.failure = error;
            return read;
        }
    }
    const ULONG usable = count < pairValues ? count : pairValues;
    for (ULONG at = 0; at + 1 < usable; at += 2) {
        const mapi::SPropValue& address = values[at];
        if (mapiText::isEmpty(address)) continue;
        const ULONG originalAt = pairValues + at / 2;
        read.addresses.push_back({mapiText::toWide(address), mapiText::isExchangeType(values[at + 1]),
                                  originalAt < count ? mapiText::binary(values[originalAt]) : nullptr});
    }
    return read;
}

}  // namespace exporting
