#pragma once

#include "ContactMapiAnswers.h"
#include "MapiPropObject.h"

#include <windows.h>

namespace standin::mapiprops {

// A contact as a MAPI property object: its MAPIOBJECT (IMAPIProp) in
// Outlook's process, or the message (IMessage) that a MAPI session opens.
// GetIDsFromNames and GetProps check their out-parameters, obtain the
// contact's answer the way the derived class does, and deliver it in this
// process's MAPI buffers.
template <typename Interface>
class ContactMapiProp : public MapiPropObject<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG nameCount, mapi::MAPINAMEID** names, ULONG,
                                              mapi::SPropTagArray** propTags) override {
        if (const HRESULT admitted = admitCall(); FAILED(admitted)) return admitted;
        if (propTags == nullptr) return MAPI_E_INVALID_PARAMETER;
        *propTags = nullptr;
        return resultOfAnswering([&] { return deliverTags(tagsFor(nameCount, names), propTags); });
    }

    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* propTags, ULONG, ULONG* valueCount,
                                       mapi::SPropValue** values) override {
        if (const HRESULT admitted = admitCall(); FAILED(admitted)) return admitted;
        if (valueCount == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
        *valueCount = 0;
        *values = nullptr;
        return resultOfAnswering([&] { return deliverValues(valuesFor(propTags), valueCount, values); });
    }

protected:
    ContactMapiProp() = default;

    // Whether a call may run at all, asked before anything else: a failure
    // is the call's result.
    virtual HRESULT admitCall() { return S_OK; }

    // The contact's answers (ContactMapiAnswers.h). What they raise becomes
    // the call's result (see resultOfAnswering).
    virtual TagsAnswer tagsFor(ULONG nameCount, mapi::MAPINAMEID** names) = 0;
    virtual ValuesAnswer valuesFor(const mapi::SPropTagArray* propTags) = 0;
};

}  // namespace standin::mapiprops
