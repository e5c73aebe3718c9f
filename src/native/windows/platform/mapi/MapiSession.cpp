#include "MapiSession.h"

namespace mapi {

namespace {

int hexDigit(wchar_t unit) noexcept {
    if (unit >= L'0' && unit <= L'9') return unit - L'0';
    if (unit >= L'A' && unit <= L'F') return unit - L'A' + 10;
    if (unit >= L'a' && unit <= L'f') return unit - L'a' + 10;
    return -1;
}

// OpenEntry hands out the interface asked for (`iid`) as an IUnknown pointer.
template <typename Interface>
com::ComRef<Interface> adoptOpened(IUnknown* opened) noexcept {
    return com::ComRef<Interface>::adopt(static_cast<Interface*>(opened));
}

HRESULT getPropsOf(IMAPIProp* object, SPropTagArray& tags, PropertyValues& result) {
    result.count = 0;
    if (object == nullptr) return E_POINTER;
    return object->GetProps(&tags, 0, &result.count, result.values.put());
}

}  // namespace

std::optional<EntryId> entryIdFromHex(const wchar_t* text, std::size_t length) {
    if (text == nullptr || length == 0 || length % 2 != 0) return std::nullopt;
    EntryId bytes;
    bytes.reserve(length / 2);
    for (std::size_t at = 0; at < length; at += 2) {
        const int high = hexDigit(text[at]);
        const int low = hexDigit(text[at + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return bytes;
}

HRESULT MailUser::getProps(SPropTagArray& tags, PropertyValues& result) const {
    return getPropsOf(user.get(), tags, result);
}

HRESULT AddressBook::openMailUser(const SBinary& entryId, MailUser& result) const {
    ULONG type = 0;
    IUnknown* opened = nullptr;
    const HRESULT outcome = book->OpenEntry(entryId.cb, entryId.lpb, &IID_IMailUser, 0, &type, &opened);
    result.user = SUCCEEDED(outcome) ? adoptOpened<IMailUser>(opened) : nullptr;
    return SUCCEEDED(outcome) && !result.user ? E_UNEXPECTED : outcome;
}

HRESULT Message::getIDsFromNames(ULONG nameCount, MAPINAMEID** names, Buffer<SPropTagArray>& tags) const {
    return message->GetIDsFromNames(nameCount, names, 0, tags.put());
}

HRESULT Message::getProps(SPropTagArray& tags, PropertyValues& result) const {
    return getPropsOf(message.get(), tags, result);
}

HRESULT MessageStore::openMessage(const EntryId& entryId, Message& result) const {
    ULONG type = 0;
    IUnknown* opened = nullptr;
    const HRESULT outcome = store->OpenEntry(static_cast<ULONG>(entryId.size()), const_cast<BYTE*>(entryId.data()),
                                             &IID_IMessage, 0, &type, &opened);
    result.message = SUCCEEDED(outcome) ? adoptOpened<IMessage>(opened) : nullptr;
    return SUCCEEDED(outcome) && !result.message ? E_UNEXPECTED : outcome;
}

HRESULT Session::logOn(MAPILOGONEX logon, const wchar_t* profileName, ULONG flags, Session& result) {
    IMAPISession* session = nullptr;
    const HRESULT outcome =
        logon(0, const_cast<wchar_t*>(profileName), nullptr, flags | MAPI_UNICODE, reinterpret_cast<void**>(&session));
    result.session.reset(SUCCEEDED(outcome) ? session : nullptr);
    return SUCCEEDED(outcome) && !result.session ? E_UNEXPECTED : outcome;
}

HRESULT Session::openMessageStore(const EntryId& storeId, ULONG flags, MessageStore& result) const {
    IUnknown* opened = nullptr;
    const HRESULT outcome = session.get()->OpenMsgStore(
        0, static_cast<ULONG>(storeId.size()), const_cast<BYTE*>(storeId.data()), &IID_IMsgStore, flags, &opened);
    result.store = SUCCEEDED(outcome) ? adoptOpened<IMsgStore>(opened) : nullptr;
    return SUCCEEDED(outcome) && !result.store ? E_UNEXPECTED : outcome;
}

HRESULT Session::openAddressBook(ULONG flags, AddressBook& result) const {
    IUnknown* opened = nullptr;
    const HRESULT outcome = session.get()->OpenAddressBook(0, &IID_IAddrBook, flags, &opened);
    result.book = SUCCEEDED(outcome) ? adoptOpened<IAddrBook>(opened) : nullptr;
    return SUCCEEDED(outcome) && !result.book ? E_UNEXPECTED : outcome;
}

}  // namespace mapi
