#pragma once

// The few Extended MAPI declarations the exporter uses, laid out as the
// platform publishes them. Extended MAPI's own headers ship with Outlook's
// developer kit rather than with every Windows SDK, so the exporter carries
// the binary interface it needs itself.

#include <windows.h>
#include <unknwn.h>

#include "../com/InterfaceId.h"

namespace mapi {

constexpr ULONG MAPI_INIT_VERSION = 0;
constexpr ULONG MAPI_MULTITHREAD_NOTIFICATIONS = 0x00000001;
constexpr ULONG MNID_ID = 0;

constexpr ULONG PT_STRING8 = 0x001E;
constexpr ULONG PT_UNICODE = 0x001F;

constexpr HRESULT MAPI_E_NOT_FOUND = static_cast<HRESULT>(0x8004010FL);

constexpr ULONG propType(ULONG propTag) { return propTag & 0xFFFF; }

// {00062004-0000-0000-C000-000000000046}
constexpr GUID PSETID_Address = {0x00062004, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00020303-0000-0000-C000-000000000046}
constexpr IID IID_IMAPIProp = {0x00020303, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct MAPIINIT_0 {
    ULONG ulVersion;
    ULONG ulFlags;
};

struct MAPINAMEID {
    GUID* lpguid;
    ULONG ulKind;
    union {
        LONG lID;
        LPWSTR lpwstrName;
    } Kind;
};

struct SPropTagArray {
    ULONG cValues;
    ULONG aulPropTag[1];
};

struct SBinary {
    ULONG cb;
    BYTE* lpb;
};

union PropValueUnion {
    short int i;
    LONG l;
    ULONG ul;
    float flt;
    double dbl;
    unsigned short b;
    LARGE_INTEGER li;
    LPSTR lpszA;
    LPWSTR lpszW;
    SBinary bin;
    LONG err;
    LONG x;
};

struct SPropValue {
    ULONG ulPropTag;
    ULONG dwAlignPad;
    PropValueUnion Value;
};

// The interface's full vtable, in its published order; the exporter calls
// only GetProps and GetIDsFromNames.
struct IMAPIProp : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT result, ULONG flags, void** mapiError) = 0;
    virtual HRESULT STDMETHODCALLTYPE SaveChanges(ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProps(SPropTagArray* propTags, ULONG flags, ULONG* valueCount,
                                               SPropValue** values) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropList(ULONG flags, SPropTagArray** propTags) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenProperty(ULONG propTag, const IID* iid, ULONG interfaceOptions, ULONG flags,
                                                   IUnknown** unknown) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProps(ULONG valueCount, SPropValue* values, void** problems) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteProps(SPropTagArray* propTags, void** problems) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyTo(ULONG excludedIidCount, const IID* excludedIids,
                                             SPropTagArray* excludedProps, ULONG_PTR uiParam, void* progress,
                                             const IID* iid, void* destination, ULONG flags, void** problems) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyProps(SPropTagArray* includedProps, ULONG_PTR uiParam, void* progress,
                                                const IID* iid, void* destination, ULONG flags, void** problems) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNamesFromIDs(SPropTagArray** propTags, GUID* propSetGuid, ULONG flags,
                                                      ULONG* nameCount, MAPINAMEID*** names) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG nameCount, MAPINAMEID** names, ULONG flags,
                                                      SPropTagArray** propTags) = 0;
};

using MAPIINITIALIZE = HRESULT(STDAPICALLTYPE*)(void* init);
using MAPIUNINITIALIZE = void(STDAPICALLTYPE*)();
using MAPIALLOCATEBUFFER = SCODE(STDAPICALLTYPE*)(ULONG size, void** buffer);
using MAPIFREEBUFFER = ULONG(STDAPICALLTYPE*)(void* buffer);
using MAPILOGONEX = HRESULT(STDAPICALLTYPE*)(ULONG_PTR uiParam, LPWSTR profileName, LPWSTR password, ULONG flags,
                                             void** session);

}  // namespace mapi

// IMAPIProp's IID where an interface's IID is looked up by its type.
namespace com {
template <>
struct InterfaceId<mapi::IMAPIProp> {
    static const IID& value() noexcept { return mapi::IID_IMAPIProp; }
};
}  // namespace com
