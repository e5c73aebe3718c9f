#pragma once

#include "export/EmailRoad.h"
#include "export/ExchangeResolver.h"
#include "platform/mapi/MapiDefinitions.h"

namespace exporting {

// The six values in one call, as MAPI named properties of the contact's
// own message object (MAPIOBJECT). This works only where that object can be
// used in the exporter's process, which Outlook's in another process cannot:
// a MAPIOBJECT that gives no IMAPIProp closes the road.
class MapiObjectRoad final : public EmailRoad {
public:
    MapiObjectRoad(mapi::MAPIFREEBUFFER mapiFreeBuffer, const ExchangeResolver& exchangeResolver) noexcept
        : freeBuffer(mapiFreeBuffer), resolver(exchangeResolver) {}

    RoadAnswer write(CurrentContact& contact, JsonList& addresses) override;

private:
    const mapi::MAPIFREEBUFFER freeBuffer;
    const ExchangeResolver& resolver;
};

}  // namespace exporting
