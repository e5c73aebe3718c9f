#include "BaselineSession.h"

#include <string>
#include <vector>

namespace baseline {

namespace {

constexpr ULONG logonFlags = mapi::MAPI_EXTENDED | mapi::MAPI_NEW_SESSION | mapi::MAPI_NO_MAIL | mapi::MAPI_UNICODE;

// An entry id's bytes from the object model's hexadecimal text; empty when
// the text is not such.
std::vector<BYTE> entryIdFromHex(const Variant& text) {
    std::vector<BYTE> bytes;
    if (text.value.vt != VT_BSTR || text.value.bstrVal == nullptr) return bytes;
    const BSTR digits = text.value.bstrVal;
    const UINT length = SysStringLen(digits);
    if (length % 2 != 0) return bytes;
    const auto digit = [](wchar_t unit) {
        if (unit >= L'0' && unit <= L'9') return unit - L'0';
        if (unit >= L'A' && unit <= L'F') return unit - L'A' + 10;
        if (unit >= L'a' && unit <= L'f') return unit - L'a' + 10;
        return -1;
    };
    for (UINT at = 0; at < length; at += 2) {
        const int high = digit(digits[at]);
        const int low = digit(digits[at + 1]);
        if (high < 0 || low < 0) return {};
        bytes.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return bytes;
}

template <typename Interface>
void adopt(IUnknown* opened, Ref<Interface>& result) {
    *result.receive() = static_cast<Interface*>(opened);
}

}  // namespace

Session::~Session() {
    addressBook_.reset();
    if (tags_ != nullptr) mapi_.freeBuffer(tags_);
    store_.reset();
    if (session_ != nullptr) {
        session_->Logoff(0, 0, 0);
        session_->Release();
    }
}

bool Session::open(IDispatch* nameSpace, IDispatch* folder) {
    Variant profile;
    Variant storeIdText;
    try {
        get(nameSpace, members_.currentProfileName, profile);
        get(folder, members_.storeId, storeIdText);
    } catch (const Failed&) {
        return false;
    }
    std::vector<BYTE> storeId = entryIdFromHex(storeIdText);
    if (storeId.empty()) return false;

    const bool named = profile.value.vt == VT_BSTR && profile.value.bstrVal != nullptr;
    wchar_t* const profileName = named ? profile.value.bstrVal : const_cast<wchar_t*>(L"");
    void* session = nullptr;
    HRESULT outcome = mapi_.logon(0, profileName, nullptr, logonFlags | mapi::MAPI_BG_SESSION, &session);
    if (outcome == mapi::MAPI_E_UNKNOWN_FLAGS) outcome = mapi_.logon(0, profileName, nullptr, logonFlags, &session);
    if (FAILED(outcome) || session == nullptr) return false;
    session_ = static_cast<mapi::IMAPISession*>(session);

    IUnknown* store = nullptr;
    outcome = session_->OpenMsgStore(0, static_cast<ULONG>(storeId.size()), storeId.data(), &mapi::IID_IMsgStore,
                                     mapi::MDB_NO_DIALOG | mapi::MDB_NO_MAIL, &store);
    if (FAILED(outcome) || store == nullptr) return false;
    adopt(store, store_);
    return true;
}

Answer Session::write(IDispatch* contact, bool& entryIdRead) {
    Variant entryIdText;
    get(contact, members_.entryId, entryIdText);
    entryIdRead = true;
    std::vector<BYTE> entryId = entryIdFromHex(entryIdText);
    if (entryId.empty()) return Answer::contactNotRead;

    Ref<mapi::IMessage> message;
    {
        ULONG type = 0;
        IUnknown* opened = nullptr;
        const HRESULT outcome = store_.get()->OpenEntry(static_cast<ULONG>(entryId.size()), entryId.data(),
                                                        &mapi::IID_IMessage, 0, &type, &opened);
        if (FAILED(outcome) || opened == nullptr) return Answer::contactNotRead;
        adopt(opened, message);
    }
    if (tags_ == nullptr) {
        AddressNames names(AddressNames::withOriginalEntryIds);
        if (FAILED(message.get()->GetIDsFromNames(names.count(), names.pointers(), 0, &tags_)) || tags_ == nullptr)
            return Answer::closed;
    }
    ULONG count = 0;
    mapi::SPropValue* values = nullptr;
    if (FAILED(message.get()->GetProps(tags_, 0, &count, &values)) || values == nullptr) return Answer::contactNotRead;

    // Read whole before anything is looked up by name, as the exporter does.
    std::vector<std::wstring> byName;
    bool read = true;
    forEachAddress(values, count, [&](const MapiAddress& address) {
        if (!address.isExchange || !read) return;
        if (address.originalEntryId == nullptr || !addressBookReady()) {
            byName.emplace_back(address.text);
            return;
        }
        ULONG type = 0;
        IUnknown* opened = nullptr;
        const HRESULT outcome = addressBook_.get()->OpenEntry(address.originalEntryId->cb, address.originalEntryId->lpb,
                                                              &mapi::IID_IMailUser, 0, &type, &opened);
        if (outcome == mapi::MAPI_E_NOT_FOUND) return;
        if (FAILED(outcome) || opened == nullptr) {
            read = false;
            return;
        }
        Ref<mapi::IMailUser> user;
        adopt(opened, user);
        mapi::SPropTagArray smtpTag{1, {mapi::PR_SMTP_ADDRESS_W}};
        ULONG smtpCount = 0;
        mapi::SPropValue* smtp = nullptr;
        user.get()->GetProps(&smtpTag, 0, &smtpCount, &smtp);
        if (smtp != nullptr) mapi_.freeBuffer(smtp);
    });
    mapi_.freeBuffer(values);
    message.reset();
    if (!read) return Answer::contactNotRead;
    for (const std::wstring& address : byName) byName_.lookUp(address.c_str());
    return Answer::written;
}

bool Session::addressBookReady() {
    if (!addressBookAsked_) {
        addressBookAsked_ = true;
        IUnknown* opened = nullptr;
        if (SUCCEEDED(session_->OpenAddressBook(0, &mapi::IID_IAddrBook, mapi::AB_NO_DIALOG, &opened)) &&
            opened != nullptr)
            adopt(opened, addressBook_);
    }
    return static_cast<bool>(addressBook_);
}

}  // namespace baseline
