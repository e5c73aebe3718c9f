#include "MailUser.h"

#include "ContactMapiAnswers.h"
#include "MapiDelivery.h"

namespace standin::mapi32 {

namespace {

mapiprops::PendingValue textValue(ULONG tag, const profile::Text& text) {
    if (!text) return {mapi::propTag(mapi::PT_ERROR, mapi::propId(tag)), {}, {}, {}};
    return {tag, *text, {}, {}};
}

mapiprops::PendingValue missingValue(ULONG tag) { return textValue(tag, std::nullopt); }

// The entry's answer; an SMTP address that fails otherwise than as missing
// fails the whole call.
mapiprops::ValuesAnswer answerFor(const profile::AddressBookEntry& entry, const mapi::SPropTagArray& propTags) {
    if (entry.smtpFailure && *entry.smtpFailure != mapi::MAPI_E_NOT_FOUND) return {*entry.smtpFailure, std::nullopt};
    std::vector<mapiprops::PendingValue> values;
    bool anyError = false;
    for (ULONG n = 0; n < propTags.cValues; ++n) {
        const ULONG tag = propTags.aulPropTag[n];
        if (tag == mapi::PR_EMAIL_ADDRESS_W) {
            values.push_back(textValue(tag, entry.entryAddress));
        } else if (tag == mapi::PR_SMTP_ADDRESS_W) {
            values.push_back(textValue(tag, entry.smtpFailure ? std::nullopt : entry.smtp));
        } else {
            values.push_back(missingValue(tag));
        }
        anyError = anyError || mapi::propType(values.back().tag) == mapi::PT_ERROR;
    }
    return {anyError ? mapi::MAPI_W_ERRORS_RETURNED : S_OK, std::move(values)};
}

}  // namespace

HRESULT STDMETHODCALLTYPE MailUser::GetProps(mapi::SPropTagArray* propTags, ULONG, ULONG* valueCount,
                                             mapi::SPropValue** values) {
    const profile::Fault* fault = sessionCall(*profile, "IMailUser.GetProps");
    if (valueCount == nullptr || values == nullptr) return mapiprops::MAPI_E_INVALID_PARAMETER;
    *valueCount = 0;
    *values = nullptr;
    return mapiprops::resultOfAnswering([&] {
        if (fault != nullptr) {
            return mapiprops::deliverValues(mapiprops::faultedValues(*fault, mapi::IID_IMailUser), valueCount, values);
        }
        if (propTags == nullptr) return mapiprops::MAPI_E_INVALID_PARAMETER;  // every property is not supported
        return mapiprops::deliverValues(answerFor(entry, *propTags), valueCount, values);
    });
}

}  // namespace standin::mapi32
