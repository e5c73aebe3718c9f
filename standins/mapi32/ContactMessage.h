#pragma once

#include "ContactMapiProp.h"
#include "LiveObjects.h"
#include "SessionCalls.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>

namespace standin::mapi32 {

// A contact opened from the store: GetIDsFromNames and GetProps answer as
// the contact's MAPIOBJECT does in Outlook's process (ContactMapiAnswers.h),
// as the operations "IMessage.<method>". Every other method answers
// MAPI_E_NO_SUPPORT.
class ContactMessage final : public mapiprops::ContactMapiProp<mapi::IMessage> {
public:
    ContactMessage(ProfilePtr sessionProfile, size_t contactPosition)
        : profile(std::move(sessionProfile)), position(contactPosition) {}

    HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG, void** table) override;
    HRESULT STDMETHODCALLTYPE OpenAttach(ULONG, const IID*, ULONG, void** attachment) override;
    HRESULT STDMETHODCALLTYPE CreateAttach(const IID*, ULONG, ULONG* attachmentNumber, void** attachment) override;
    HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG, ULONG_PTR, void*, ULONG) override;
    HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG, void** table) override;
    HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG, void*) override;
    HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG) override;
    HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG) override;

private:
    ~ContactMessage() override = default;

    mapiprops::TagsAnswer tagsFor(ULONG nameCount, mapi::MAPINAMEID** names) override;
    mapiprops::ValuesAnswer valuesFor(const mapi::SPropTagArray* propTags) override;

    LiveObject live;
    ProfilePtr profile;
    size_t position;
};

}  // namespace standin::mapi32
