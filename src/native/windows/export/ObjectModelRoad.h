#pragma once

#include "export/EmailRoad.h"
#include "export/ExchangeResolver.h"

namespace exporting {

// Each address through the object model (Email1Address, Email2Address,
// Email3Address), and its type only when there is an address. Every one of
// these reads is a round trip that Outlook's security prompt guards, so this
// road comes last; it reads any contact, and always writes.
class ObjectModelRoad final : public EmailRoad {
public:
    explicit ObjectModelRoad(const ExchangeResolver& exchangeResolver) noexcept : resolver(exchangeResolver) {}

    RoadAnswer write(CurrentContact& contact, JsonList& addresses) override;

private:
    const ExchangeResolver& resolver;
};

}  // namespace exporting
