#include "PlatformHeaderFacts.h"

#define USES_IID_IMAPIProp
#define USES_IID_IMAPISession
#define USES_IID_IMsgStore
#define USES_IID_IMessage
#define USES_IID_IAddrBook
#define USES_IID_IMailUser
#include <initguid.h>

#include <mapicode.h>
#include <mapidefs.h>
#include <mapiguid.h>
#include <mapitags.h>
#include <mapix.h>

namespace platformHeaders {

MapiFacts mapiFacts() {
    return {sizeof(SPropValue),
            offsetof(SPropValue, ulPropTag),
            offsetof(SPropValue, Value),
            sizeof(union _PV),
            sizeof(MAPINAMEID),
            offsetof(MAPINAMEID, Kind),
            sizeof(MAPINAMEID{}.Kind),
            offsetof(SPropTagArray, aulPropTag),
            sizeof(MAPIINIT_0),
            MAPI_INIT_VERSION,
            MAPI_MULTITHREAD_NOTIFICATIONS,
            MNID_ID,
            PT_STRING8,
            PT_UNICODE,
            PT_ERROR,
            MAPI_E_NOT_FOUND,
            IID_IMAPIProp};
}

std::map<std::string, unsigned long> mapiSessionConstants() {
#define PLATFORM_CONSTANT(name) \
    { #name, static_cast < unsigned long>(name) }
    return {PLATFORM_CONSTANT(MAPI_LOGON_UI),
            PLATFORM_CONSTANT(MAPI_NEW_SESSION),
            PLATFORM_CONSTANT(MAPI_ALLOW_OTHERS),
            PLATFORM_CONSTANT(MAPI_EXTENDED),
            PLATFORM_CONSTANT(MAPI_USE_DEFAULT),
            PLATFORM_CONSTANT(MAPI_NO_MAIL),
            PLATFORM_CONSTANT(MAPI_PASSWORD_UI),
            PLATFORM_CONSTANT(MAPI_UNICODE),
            PLATFORM_CONSTANT(MDB_NO_DIALOG),
            PLATFORM_CONSTANT(MDB_WRITE),
            PLATFORM_CONSTANT(MDB_NO_MAIL),
            PLATFORM_CONSTANT(MAPI_MODIFY),
            PLATFORM_CONSTANT(AB_NO_DIALOG),
            PLATFORM_CONSTANT(MAPI_MESSAGE),
            PLATFORM_CONSTANT(MAPI_MAILUSER),
            PLATFORM_CONSTANT(PT_BINARY),
            PLATFORM_CONSTANT(MAPI_E_UNKNOWN_FLAGS),
            PLATFORM_CONSTANT(MAPI_E_LOGON_FAILED),
            PLATFORM_CONSTANT(MAPI_E_UNKNOWN_ENTRYID),
            PLATFORM_CONSTANT(MAPI_W_ERRORS_RETURNED),
            PLATFORM_CONSTANT(PR_EMAIL_ADDRESS_W)};
#undef PLATFORM_CONSTANT
}

std::map<std::string, IID> mapiSessionIids() {
    return {{"IMAPISession", IID_IMAPISession},
            {"IMsgStore", IID_IMsgStore},
            {"IMessage", IID_IMessage},
            {"IAddrBook", IID_IAddrBook},
            {"IMailUser", IID_IMailUser}};
}

namespace {

// Each method answers its place in the headers' vtable.
class NumberedMapiProp final : public IMAPIProp {
public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override {
        delete this;
        return 0;
    }
    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return methodResult(1); }
    STDMETHODIMP SaveChanges(ULONG) override { return methodResult(2); }
    STDMETHODIMP GetProps(LPSPropTagArray, ULONG, ULONG*, LPSPropValue*) override { return methodResult(3); }
    STDMETHODIMP GetPropList(ULONG, LPSPropTagArray*) override { return methodResult(4); }
    STDMETHODIMP OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return methodResult(5); }
    STDMETHODIMP SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return methodResult(6); }
    STDMETHODIMP DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return methodResult(7); }
    STDMETHODIMP CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                        LPSPropProblemArray*) override {
        return methodResult(8);
    }
    STDMETHODIMP CopyProps(LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                           LPSPropProblemArray*) override {
        return methodResult(9);
    }
    STDMETHODIMP GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override {
        return methodResult(10);
    }
    STDMETHODIMP GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override { return methodResult(11); }
};

}  // namespace

IUnknown* newNumberedMapiProp() { return new NumberedMapiProp(); }

}  // namespace platformHeaders
