#include "export/ExchangeResolver.h"

#include "platform/com/ComError.h"
#include "platform/mapi/MapiDefinitions.h"

#include <iterator>

namespace exporting {

namespace {

// The schema name of PR_SMTP_ADDRESS (0x39FE001E, a PT_STRING8 property) for
// PropertyAccessor.GetProperty.
constexpr wchar_t smtpAddressSchema[] = L"http://schemas.microsoft.com/mapi/proptag/0x39FE001E";

}  // namespace

// The entry's address is compared with the one looked up in the form in
// which both would be written (in the ANSI code page, two addresses may be
// written alike): an entry that gives back another address is not this one.
com::WideString ExchangeResolver::smtpAddressOf(const com::WideString& address) const {
    const outlook::Recipient recipient = nameSpace.createRecipient(address);
    if (!recipient.resolve()) return com::WideString();

    const outlook::AddressEntry entry = recipient.addressEntry();
    if (!text::writtenAlike(entry.address(), address, encoding)) return com::WideString();

    const outlook::PropertyAccessor accessor = entry.propertyAccessor();
    try {
        return accessor.getPropertyText(com::WideString::copyOf(smtpAddressSchema, std::size(smtpAddressSchema) - 1));
    } catch (const com::ComError& error) {
        // An address entry that holds no SMTP address: Outlook cannot give one.
        if (error.result() == mapi::MAPI_E_NOT_FOUND) return com::WideString();
        throw;
    }
}

com::WideString addressToWrite(const ExchangeResolver& resolver, const com::WideString& address, bool isExchange) {
    return isExchange ? resolver.smtpAddressOf(address) : address;
}

}  // namespace exporting
