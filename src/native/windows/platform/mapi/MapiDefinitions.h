#pragma once

// The few Extended MAPI declarations the exporter uses, laid out as the
// platform publishes them. Extended MAPI's own headers ship with Outlook's
// developer kit rather than with every Windows SDK, so the exporter carries
// the binary interface it needs itself.

#include <windows.h>
#include <unknwn.h>

namespace mapi {

constexpr ULONG MAPI_INIT_VERSION = 0;
constexpr ULONG MAPI_MULTITHREAD_NOTIFICATIONS = 0x00000001;
constexpr ULONG MNID_ID = 0;

constexpr ULONG PT_ERROR = 0x000A;
constexpr ULONG PT_STRING8 = 0x001E;
constexpr ULONG PT_UNICODE = 0x001F;
constexpr ULONG PT_BINARY = 0x0102;

constexpr HRESULT MAPI_E_NOT_FOUND = static_cast<HRESULT>(0x8004010FL);
constexpr HRESULT MAPI_E_UNKNOWN_FLAGS = static_cast<HRESULT>(0x80040106L);
constexpr HRESULT MAPI_E_LOGON_FAILED = static_cast<HRESULT>(0x80040111L);
constexpr HRESULT MAPI_E_UNKNOWN_ENTRYID = static_cast<HRESULT>(0x80040201L);
constexpr HRESULT MAPI_W_ERRORS_RETURNED = static_cast<HRESULT>(0x00040380L);

// MAPILogonEx's flags.
constexpr ULONG MAPI_LOGON_UI = 0x00000001;
constexpr ULONG MAPI_NEW_SESSION = 0x00000002;
constexpr ULONG MAPI_ALLOW_OTHERS = 0x00000008;
constexpr ULONG MAPI_EXTENDED = 0x00000020;
constexpr ULONG MAPI_USE_DEFAULT = 0x00000040;
constexpr ULONG MAPI_NO_MAIL = 0x00008000;
constexpr ULONG MAPI_PASSWORD_UI = 0x00020000;
// A session for a program that works unobtrusively in another process than
// Outlook's; recent versions of Outlook's MAPI know it, older ones refuse it
// with MAPI_E_UNKNOWN_FLAGS.
constexpr ULONG MAPI_BG_SESSION = 0x00200000;
// The strings passed are UTF-16.
constexpr ULONG MAPI_UNICODE = 0x80000000;

// OpenMsgStore's, OpenEntry's and OpenAddressBook's flags.
constexpr ULONG MDB_NO_DIALOG = 0x00000001;
constexpr ULONG MDB_WRITE = 0x00000004;
constexpr ULONG MDB_NO_MAIL = 0x00000080;
constexpr ULONG MAPI_MODIFY = 0x00000001;
constexpr ULONG AB_NO_DIALOG = 0x00000001;

// The kinds of object OpenEntry opens.
constexpr ULONG MAPI_MESSAGE = 0x00000005;
constexpr ULONG MAPI_MAILUSER = 0x00000006;

constexpr ULONG propType(ULONG propTag) { return propTag & 0xFFFF; }
constexpr ULONG propId(ULONG propTag) { return propTag >> 16; }
constexpr ULONG propTag(ULONG type, ULONG id) { return (id << 16) | type; }

// An address book entry's addresses, as UTF-16.
constexpr ULONG PR_EMAIL_ADDRESS_W = propTag(PT_UNICODE, 0x3003);
constexpr ULONG PR_SMTP_ADDRESS_W = propTag(PT_UNICODE, 0x39FE);

// {00062004-0000-0000-C000-000000000046}
constexpr GUID PSETID_Address = {0x00062004, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// MAPI's IIDs all read {000203xx-0000-0000-C000-000000000046}.
constexpr IID mapiIid(unsigned long data1) {
    return {data1, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}
inline constexpr IID IID_IMAPISession = mapiIid(0x00020300);
inline constexpr IID IID_IMAPIProp = mapiIid(0x00020303);
inline constexpr IID IID_IMsgStore = mapiIid(0x00020306);
inline constexpr IID IID_IMessage = mapiIid(0x00020307);
inline constexpr IID IID_IAddrBook = mapiIid(0x00020309);
inline constexpr IID IID_IMailUser = mapiIid(0x0002030A);

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
    static constexpr const IID& interfaceId = IID_IMAPIProp;

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

// The interfaces of a MAPI session of the exporter's own, with their full
// vtables in their published order; the exporter calls only OpenMsgStore,
// OpenAddressBook and Logoff of the session, and OpenEntry of the store and
// the address book. Parameters of methods it never calls are declared as
// untyped pointers of the same size.
struct IMAPISession : public IUnknown {
    static constexpr const IID& interfaceId = IID_IMAPISession;

    virtual HRESULT STDMETHODCALLTYPE GetLastError(HRESULT result, ULONG flags, void** mapiError) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG flags, void** table) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR uiParam, ULONG entryIdSize, void* entryId, const IID* iid,
                                                   ULONG flags, IUnknown** store) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR uiParam, const IID* iid, ULONG flags,
                                                      IUnknown** addressBook) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenProfileSection(void* uid, const IID* iid, ULONG flags, void** section) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG flags, void** table) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG entryIdSize, void* entryId, const IID* iid, ULONG flags,
                                                ULONG* objectType, IUnknown** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG firstSize, void* first, ULONG secondSize, void* second,
                                                      ULONG flags, ULONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Advise(ULONG entryIdSize, void* entryId, ULONG eventMask, void* sink,
                                             ULONG* connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE MessageOptions(ULONG_PTR uiParam, ULONG flags, void* addressType,
                                                     void* message) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt(void* addressType, ULONG flags, ULONG* valueCount,
                                                             SPropValue** options) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumAdrTypes(ULONG flags, ULONG* typeCount, void*** types) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG* entryIdSize, void** entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR uiParam, ULONG flags, ULONG reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultStore(ULONG flags, ULONG entryIdSize, void* entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE AdminServices(ULONG flags, void** serviceAdmin) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowForm(ULONG_PTR uiParam, void* store, void* parentFolder, const IID* iid,
                                               ULONG messageToken, void* messageSent, ULONG flags, ULONG messageStatus,
                                               ULONG messageFlags, ULONG access, LPSTR messageClass) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrepareForm(const IID* iid, void* message, ULONG* messageToken) = 0;
};

struct IMsgStore : public IMAPIProp {
    static constexpr const IID& interfaceId = IID_IMsgStore;

    virtual HRESULT STDMETHODCALLTYPE Advise(ULONG entryIdSize, void* entryId, ULONG eventMask, void* sink,
                                             ULONG* connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG firstSize, void* first, ULONG secondSize, void* second,
                                                      ULONG flags, ULONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG entryIdSize, void* entryId, const IID* iid, ULONG flags,
                                                ULONG* objectType, IUnknown** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetReceiveFolder(void* messageClass, ULONG flags, ULONG entryIdSize,
                                                       void* entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetReceiveFolder(void* messageClass, ULONG flags, ULONG* entryIdSize,
                                                       void** entryId, void** explicitClass) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetReceiveFolderTable(ULONG flags, void** table) = 0;
    virtual HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE AbortSubmit(ULONG entryIdSize, void* entryId, ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOutgoingQueue(ULONG flags, void** table) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLockState(void* message, ULONG lockState) = 0;
    virtual HRESULT STDMETHODCALLTYPE FinishedMsg(ULONG flags, ULONG entryIdSize, void* entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyNewMail(void* notification) = 0;
};

struct IMessage : public IMAPIProp {
    static constexpr const IID& interfaceId = IID_IMessage;

    virtual HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG flags, void** table) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenAttach(ULONG attachmentNumber, const IID* iid, ULONG flags,
                                                 void** attachment) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAttach(const IID* iid, ULONG flags, ULONG* attachmentNumber,
                                                   void** attachment) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG attachmentNumber, ULONG_PTR uiParam, void* progress,
                                                   ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG flags, void** table) = 0;
    virtual HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG flags, void* modifications) = 0;
    virtual HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG flags) = 0;
};

struct IAddrBook : public IMAPIProp {
    static constexpr const IID& interfaceId = IID_IAddrBook;

    virtual HRESULT STDMETHODCALLTYPE OpenEntry(ULONG entryIdSize, void* entryId, const IID* iid, ULONG flags,
                                                ULONG* objectType, IUnknown** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG firstSize, void* first, ULONG secondSize, void* second,
                                                      ULONG flags, ULONG* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Advise(ULONG entryIdSize, void* entryId, ULONG eventMask, void* sink,
                                             ULONG* connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(ULONG connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateOneOff(void* name, void* addressType, void* address, ULONG flags,
                                                   ULONG* entryIdSize, void** entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE NewEntry(ULONG_PTR uiParam, ULONG flags, ULONG containerSize, void* container,
                                               ULONG templateSize, void* templateEntry, ULONG* newEntrySize,
                                               void** newEntry) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResolveName(ULONG_PTR uiParam, ULONG flags, void* title, void* addressList) = 0;
    virtual HRESULT STDMETHODCALLTYPE Address(ULONG_PTR* uiParam, void* parameters, void** addressList) = 0;
    virtual HRESULT STDMETHODCALLTYPE Details(ULONG_PTR* uiParam, void* dismiss, void* dismissContext,
                                              ULONG entryIdSize, void* entryId, void* buttonCallback,
                                              void* buttonContext, void* buttonText, ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE RecipOptions(ULONG_PTR uiParam, ULONG flags, void* recipient) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryDefaultRecipOpt(void* addressType, ULONG flags, ULONG* valueCount,
                                                           SPropValue** options) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPAB(ULONG* entryIdSize, void** entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPAB(ULONG entryIdSize, void* entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDefaultDir(ULONG* entryIdSize, void** entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultDir(ULONG entryIdSize, void* entryId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSearchPath(ULONG flags, void** searchPath) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSearchPath(ULONG flags, void* searchPath) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrepareRecips(ULONG flags, SPropTagArray* propTags, void* recipients) = 0;
};

// An address book entry of a person: IMAPIProp's methods and no others.
struct IMailUser : public IMAPIProp {
    static constexpr const IID& interfaceId = IID_IMailUser;
};

using MAPIINITIALIZE = HRESULT(STDAPICALLTYPE*)(void* init);
using MAPIUNINITIALIZE = void(STDAPICALLTYPE*)();
using MAPIALLOCATEBUFFER = SCODE(STDAPICALLTYPE*)(ULONG size, void** buffer);
using MAPIFREEBUFFER = ULONG(STDAPICALLTYPE*)(void* buffer);
using MAPILOGONEX = HRESULT(STDAPICALLTYPE*)(ULONG_PTR uiParam, LPWSTR profileName, LPWSTR password, ULONG flags,
                                             void** session);

}  // namespace mapi
