#pragma once

#include <windows.h>

#include "LiveObjects.h"
#include "MapiPropObject.h"
#include "SessionCalls.h"
#include "mapi/MapiDefinitions.h"

namespace standin::mapi32 {

// An address book entry opened by its entry id: GetProps gives its
// PR_EMAIL_ADDRESS_W (the entry's entryAddress) and PR_SMTP_ADDRESS_W (its
// smtp), as the operation "IMailUser.GetProps".
class MailUser final : public mapiprops::MapiPropObject<mapi::IMailUser> {
public:
    // The entry lives in the profile, which the object holds.
    MailUser(ProfilePtr profile, const profile::AddressBookEntry& entry)
        : profile_(std::move(profile)), entry_(entry) {}

    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* propTags, ULONG flags, ULONG* valueCount,
                                       mapi::SPropValue** values) override;

private:
    ~MailUser() override = default;

    LiveObject live_;
    ProfilePtr profile_;
    const profile::AddressBookEntry& entry_;
};

}  // namespace standin::mapi32
