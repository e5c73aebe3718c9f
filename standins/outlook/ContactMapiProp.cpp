#include "ContactMapiProp.h"

namespace outlook {

namespace {

constexpr HRESULT MAPI_E_NO_SUPPORT = static_cast<HRESULT>(0x80040102L);

template <typename Pointer>
void clear(Pointer* out) {
    if (out != nullptr) {
        *out = nullptr;
    }
}

}  // namespace

HRESULT STDMETHODCALLTYPE ContactMapiProp::GetIDsFromNames(ULONG nameCount, mapi::MAPINAMEID** names, ULONG,
                                                           mapi::SPropTagArray** propTags) {
    if (const HRESULT admitted = admitCall(); FAILED(admitted)) {
        return admitted;
    }
    if (propTags == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    *propTags = nullptr;
    return resultOfAnswering([&] { return deliverTags(tagsFor(nameCount, names), propTags); });
}

HRESULT STDMETHODCALLTYPE ContactMapiProp::GetProps(mapi::SPropTagArray* propTags, ULONG, ULONG* valueCount,
                                                    mapi::SPropValue** values) {
    if (const HRESULT admitted = admitCall(); FAILED(admitted)) {
        return admitted;
    }
    if (valueCount == nullptr || values == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    *valueCount = 0;
    *values = nullptr;
    return resultOfAnswering([&] { return deliverValues(valuesFor(propTags), valueCount, values); });
}

HRESULT STDMETHODCALLTYPE ContactMapiProp::GetLastError(HRESULT, ULONG, void** mapiError) {
    clear(mapiError);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMapiProp::SaveChanges(ULONG) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE ContactMapiProp::GetPropList(ULONG, mapi::SPropTagArray** propTags) {
    clear(propTags);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMapiProp::OpenProperty(ULONG, const IID*, ULONG, ULONG, IUnknown** unknown) {
    clear(unknown);
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMapiProp::SetProps(ULONG, mapi::SPropValue*, void**) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE ContactMapiProp::DeleteProps(mapi::SPropTagArray*, void**) { return MAPI_E_NO_SUPPORT; }

HRESULT STDMETHODCALLTYPE ContactMapiProp::CopyTo(ULONG, const IID*, mapi::SPropTagArray*, ULONG_PTR, void*, const IID*,
                                                  void*, ULONG, void**) {
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMapiProp::CopyProps(mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*, ULONG,
                                                     void**) {
    return MAPI_E_NO_SUPPORT;
}

HRESULT STDMETHODCALLTYPE ContactMapiProp::GetNamesFromIDs(mapi::SPropTagArray**, GUID*, ULONG, ULONG* nameCount,
                                                           mapi::MAPINAMEID*** names) {
    if (nameCount != nullptr) {
        *nameCount = 0;
    }
    clear(names);
    return MAPI_E_NO_SUPPORT;
}

}  // namespace outlook
