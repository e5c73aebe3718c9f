#pragma once

#include "com/ComObject.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>

#include <type_traits>

namespace standin::mapiprops {

constexpr HRESULT MAPI_E_NO_SUPPORT = static_cast<HRESULT>(0x80040102L);

// Clears a pointer out-parameter that the caller may have passed.
template <typename Pointer>
void clearOut(Pointer* out) {
    if (out != nullptr) *out = nullptr;
}

// A COM object of a MAPI interface built on IMAPIProp (IMAPIProp itself,
// IMessage, IMsgStore, IAddrBook, IMailUser): it answers IMAPIProp's IID as
// well as its own, and every IMAPIProp method answers MAPI_E_NO_SUPPORT
// with its out-parameters cleared, unless the derived class serves it.
template <typename Interface>
class MapiPropObject : public com::ComObject<Interface> {
    static_assert(std::is_base_of_v<mapi::IMAPIProp, Interface>, "a MAPI property object");

public:
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, mapi::MAPINAMEID**, ULONG,
                                              mapi::SPropTagArray** propTags) override {
        clearOut(propTags);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetProps(mapi::SPropTagArray*, ULONG, ULONG* valueCount,
                                       mapi::SPropValue** values) override {
        if (valueCount != nullptr) *valueCount = 0;
        clearOut(values);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, void** mapiError) override {
        clearOut(mapiError);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, mapi::SPropTagArray** propTags) override {
        clearOut(propTags);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, const IID*, ULONG, ULONG, IUnknown** unknown) override {
        clearOut(unknown);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, mapi::SPropValue*, void** problems) override {
        clearOut(problems);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE DeleteProps(mapi::SPropTagArray*, void** problems) override {
        clearOut(problems);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, const IID*, mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*,
                                     ULONG, void** problems) override {
        clearOut(problems);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE CopyProps(mapi::SPropTagArray*, ULONG_PTR, void*, const IID*, void*, ULONG,
                                        void** problems) override {
        clearOut(problems);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(mapi::SPropTagArray**, GUID*, ULONG, ULONG* nameCount,
                                              mapi::MAPINAMEID*** names) override {
        if (nameCount != nullptr) *nameCount = 0;
        clearOut(names);
        return MAPI_E_NO_SUPPORT;
    }

protected:
    MapiPropObject() = default;

    HRESULT queryOtherInterface(REFIID iid, void** object) override {
        if (!std::is_same_v<Interface, mapi::IMAPIProp> && IsEqualIID(iid, mapi::IID_IMAPIProp)) {
            return this->template handOut<Interface>(object);
        }
        return E_NOINTERFACE;
    }
};

}  // namespace standin::mapiprops
