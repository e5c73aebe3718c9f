#pragma once

#include <windows.h>

#include "LiveObjects.h"
#include "MapiPropObject.h"
#include "SessionCalls.h"
#include "mapi/MapiDefinitions.h"

namespace mapi32 {

// An address book entry opened by its entry id: GetProps gives its
// PR_EMAIL_ADDRESS_W (the entry's entryAddress) and PR_SMTP_ADDRESS_W (its
// smtp), as the operation "IMailUser.GetProps".
class MailUser final : public outlook::MapiPropObject<mapi::IMailUser> {
public:
    // The entry lives in the profile, which the object holds.
    MailUser(ProfilePtr profile, const outlook::AddressBookEntry& entry)
        : profile_(std::move(profile)), entry_(entry) {}

    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* propTags, ULONG flags, ULONG* valueCount,
                                       mapi::SPropValue** values) override;

private:
    ~MailUser() override = default;

    outlook::LiveObject live_;
    ProfilePtr profile_;
    const outlook::AddressBookEntry& entry_;
};

}  // namespace mapi32
