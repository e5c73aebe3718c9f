#pragma once

#include "platform/com/WideString.h"
#include "platform/outlook/OutlookObjectModel.h"
#include "text/JsonEscape.h"

namespace exporting {

// The SMTP address of an Exchange address (type "EX", an X.500 path), looked
// up by name in Outlook's address book through the object model. Reading the
// entry's address and its properties is guarded by Outlook's security
// prompt, so the roads ask this only of an address they cannot resolve
// otherwise.
class ExchangeResolver {
public:
    ExchangeResolver(const outlook::NameSpace& outlookNameSpace, text::RecordEncoding recordEncoding) noexcept
        : nameSpace(outlookNameSpace), encoding(recordEncoding) {}

    // The entry's SMTP address, or the empty text when Outlook has none for
    // exactly this address.
    com::WideString smtpAddressOf(const com::WideString& address) const;

private:
    const outlook::NameSpace& nameSpace;
    const text::RecordEncoding encoding;
};

// The address as written: an Exchange address resolved, any other as stored.
com::WideString addressToWrite(const ExchangeResolver& resolver, const com::WideString& address, bool isExchange);

}  // namespace exporting
