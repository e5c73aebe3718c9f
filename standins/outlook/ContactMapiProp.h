#pragma once

#include <windows.h>
#include <objidl.h>

#include "MapiAnswers.h"
#include "com/ComObject.h"
#include "mapi/MapiDefinitions.h"

namespace outlook {

// A contact's MAPIOBJECT as IMAPIProp, wherever it answers from: the object
// in the server's process, or its proxy in a client's. GetIDsFromNames and
// GetProps check their out-parameters, obtain the store's answer the way the
// derived class does, and deliver it in this process's MAPI buffers; every
// other method answers MAPI_E_NO_SUPPORT with its out-parameters cleared.
// IMarshal is the derived class's: each end marshals its own way.
class ContactMapiProp : public com::ComObject<mapi::IMAPIProp, IMarshal> {
public:
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG nameCount, mapi::MAPINAMEID** names, ULONG flags,
                                              mapi::SPropTagArray** propTags) override;
    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray* propTags, ULONG flags, ULONG* valueCount,
                                       mapi::SPropValue** values) override;

    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT result, ULONG flags, void** mapiError) override;
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG flags) override;
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG flags, mapi::SPropTagArray** propTags) override;
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG propTag, const IID* iid, ULONG interfaceOptions, ULONG flags,
                                           IUnknown** unknown) override;
    HRESULT STDMETHODCALLTYPE SetProps(ULONG valueCount, mapi::SPropValue* values, void** problems) override;
    HRESULT STDMETHODCALLTYPE DeleteProps(mapi::SPropTagArray* propTags, void** problems) override;
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG excludedIidCount, const IID* excludedIids,
                                     mapi::SPropTagArray* excludedProps, ULONG_PTR uiParam, void* progress,
                                     const IID* iid, void* destination, ULONG flags, void** problems) override;
    HRESULT STDMETHODCALLTYPE CopyProps(mapi::SPropTagArray* includedProps, ULONG_PTR uiParam, void* progress,
                                        const IID* iid, void* destination, ULONG flags, void** problems) override;
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(mapi::SPropTagArray** propTags, GUID* propSetGuid, ULONG flags,
                                              ULONG* nameCount, mapi::MAPINAMEID*** names) override;

protected:
    ContactMapiProp() = default;

    // Whether a call may run at all, asked before anything else: a failure
    // is the call's result.
    virtual HRESULT admitCall() { return S_OK; }

    // The store's answers. What they raise becomes the call's result (see
    // resultOfAnswering).
    virtual TagsAnswer tagsFor(ULONG nameCount, mapi::MAPINAMEID** names) = 0;
    virtual ValuesAnswer valuesFor(const mapi::SPropTagArray* propTags) = 0;
};

}  // namespace outlook
