#pragma once

#include <windows.h>

#include "platform/MapiDefinitions.h"

namespace outlook {

// The IMAPIProp methods a contact's MAPIOBJECT does not support: each
// answers MAPI_E_NO_SUPPORT with its out-parameters cleared.
class MapiPropBase : public mapi::IMAPIProp {
public:
    static constexpr HRESULT MAPI_E_NO_SUPPORT = static_cast<HRESULT>(0x80040102L);
    static constexpr HRESULT MAPI_E_INVALID_PARAMETER = static_cast<HRESULT>(0x80070057L);

    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, void** mapiError) override {
        if (mapiError != nullptr) {
            *mapiError = nullptr;
        }
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, mapi::SPropTagArray** propTags) override {
        if (propTags != nullptr) {
            *propTags = nullptr;
        }
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, const IID*, ULONG, ULONG, IUnknown** unknown) override {
        if (unknown != nullptr) {
            *unknown = nullptr;
        }
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, mapi::SPropValue*, void**) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE DeleteProps(mapi::SPropTagArray*, void**) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, const IID*, mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*,
                                     ULONG, void**) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE CopyProps(mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*, ULONG,
                                        void**) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(mapi::SPropTagArray**, GUID*, ULONG, ULONG* nameCount,
                                              mapi::MAPINAMEID*** names) override {
        if (nameCount != nullptr) {
            *nameCount = 0;
        }
        if (names != nullptr) {
            *names = nullptr;
        }
        return MAPI_E_NO_SUPPORT;
    }

protected:
    MapiPropBase() = default;
    virtual ~MapiPropBase() = default;
};

}  // namespace outlook
