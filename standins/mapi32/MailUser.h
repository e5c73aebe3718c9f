#pragma once

#include "LiveObjects.h"
#include "MapiPropObject.h"
#include "SessionCalls.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>

namespace standin::mapi32 {

// An address book entry opened by its entry id: GetProps gives its
// PR_EMAIL_ADDRESS_W (the entry's entryAddress) and PR_SMTP_ADDRESS_W (its
// smtp), as the operation "IMailUser.GetProps".
class MailUser final : public mapiprops::MapiPropObject<mapi::IMailUser> {
public:
    // The entry lives in the profile, which the object holds.
    MailUser(ProfilePtr sessionProfile, const profile::AddressBookEntry& bookEntry)
        : profile(std::move(sessionProfile)), entry(bookEntry) {}

    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* propTags, ULONG flags, ULONG* valueCount,
                                       mapi::SPropValue** values) override;

private:
    ~MailUser() override = default;

    LiveObject live;
    ProfilePtr profile;
    const profile::AddressBookEntry& entry;
};

}  // namespace standin::mapi32
