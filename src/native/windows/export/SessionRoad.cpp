#include "export/SessionRoad.h"

#include "export/MapiAddresses.h"
#include "export/MapiText.h"
#include "export/RoadReports.h"
#include "platform/com/BusyRetry.h"
#include "platform/com/ComError.h"
#include "platform/outlook/OutlookDefinitions.h"

#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace exporting {

namespace {

constexpr ULONG pairNames = std::size(outlook::emailNamedProperties);
constexpr ULONG nameCount = pairNames + std::size(outlook::emailOriginalEntryIdProperties);

// No dialog, a session of its own that no other program shares, and no
// mail spooler: all the exporter needs is to read.
constexpr ULONG logonFlags = mapi::MAPI_EXTENDED | mapi::MAPI_NEW_SESSION | mapi::MAPI_NO_MAIL;
constexpr HRESULT MAPI_E_INVALID_ENTRYID = static_cast<HRESULT>(0x80040107L);

// A text that Outlook gives for the session: a failure of the call ends
// the road, unless it never ran in a working Outlook (gone, or busy past the
// deadline), which ends the walk as any failed call does.
template <typename Read>
std::optional<com::WideString> readFromOutlook(const RoadReports& reports, Read&& read) {
    try {
        return read();
    } catch (const com::ComError& error) {
        if (com::callNeverRan(error.result())) throw;
        reports.sessionUnavailable(error.result(), error.operation());
        return std::nullopt;
    }
}

}  // namespace

// The addresses of one contact as the session read them, or the call that
// failed.
struct SessionRoad::ContactAddresses {
    std::vector<AddressToWrite> addresses;
    HRESULT failure = S_OK;
    const char* failedOperation = "";

    static ContactAddresses failed(HRESULT result, const char* operation) {
        ContactAddresses unread;
        unread.failure = result;
        unread.failedOperation = operation;
        return unread;
    }
};

SessionRoad::SessionRoad(const connection::MapiEntryPoints& mapi, const outlook::NameSpace& outlookNameSpace,
                         const outlook::Folder& folder, const ExchangeResolver& exchangeResolver,
                         const RoadReports& roadReports) noexcept
    : logon(mapi.MAPILogonEx),
      freeBuffer(mapi.MAPIFreeBuffer),
      nameSpace(outlookNameSpace),
      contactsFolder(folder),
      resolver(exchangeResolver),
      reports(roadReports),
      tags(nullptr, mapi::FreeBuffer{mapi.MAPIFreeBuffer}) {}

RoadAnswer SessionRoad::write(CurrentContact& contact, JsonList& addresses) {
    if (state == State::unopened) state = open() ? State::open : State::closed;
    if (state == State::closed) return RoadAnswer::closed;

    const ContactAddresses read = addressesOf(contact);
    if (state == State::closed) return RoadAnswer::closed;
    if (FAILED(read.failure)) {
        reports.contactNotRead(contact, read.failure, read.failedOperation);
        return RoadAnswer::contactNotRead;
    }
    // The comma goes out before an Exchange address is looked up by name: a
    // failure there leaves the output ending in it.
    for (const AddressToWrite& each : read.addresses) {
        addresses.addString([&] { return each.resolveByName ? resolver.smtpAddressOf(each.address) : each.address; });
    }
    return RoadAnswer::written;
}

// The profile Outlook runs with, a session on it, and the store of the
// contacts folder. Recent versions of Outlook's MAPI know a session for a
// program that works unobtrusively in another process; older ones refuse
// the flag, and are asked again without it.
bool SessionRoad::open() {
    const std::optional<com::WideString> profileName =
        readFromOutlook(reports, [&] { return nameSpace.currentProfileName(); });
    if (!profileName) return false;
    const std::optional<com::WideString> storeIdText =
        readFromOutlook(reports, [&] { return contactsFolder.storeId(); });
    if (!storeIdText) return false;
    const std::optional<mapi::EntryId> storeId =
        mapi::entryIdFromHex(storeIdText->get(), storeIdText->lengthToFirstNul());
    if (!storeId) {
        reports.sessionUnavailable(MAPI_E_INVALID_ENTRYID, "MAPIFolder.StoreID");
        return false;
    }

    const wchar_t* profile = profileName->isNull() ? L"" : profileName->get();
    HRESULT outcome = mapi::Session::logOn(logon, profile, logonFlags | mapi::MAPI_BG_SESSION, session);
    if (outcome == mapi::MAPI_E_UNKNOWN_FLAGS) outcome = mapi::Session::logOn(logon, profile, logonFlags, session);
    if (FAILED(outcome)) {
        reports.sessionUnavailable(outcome, "MAPILogonEx");
        return false;
    }
    outcome = session.openMessageStore(*storeId, mapi::MDB_NO_DIALOG | mapi::MDB_NO_MAIL, store);
    if (FAILED(outcome)) {
        reports.sessionUnavailable(outcome, "IMAPISession.OpenMsgStore");
        return false;
    }
    reports.sessionOpened(std::wstring_view(profile, profileName->lengthToFirstNul()));
    return true;
}

// The tags of the nine properties, asked of the first message read: a
// store names its properties the same for every message in it.
bool SessionRoad::namedPropertiesFrom(const mapi::Message& message) {
    if (tags) return true;
    GUID propertySet = mapi::PSETID_Address;
    mapi::MAPINAMEID names[nameCount];
    mapi::MAPINAMEID* namePointers[nameCount];
    for (ULONG at = 0; at < nameCount; ++at) {
        const LONG longId = at < pairNames ? outlook::emailNamedProperties[at].longId
                                           : outlook::emailOriginalEntryIdProperties[at - pairNames].longId;
        names[at] = {&propertySet, mapi::MNID_ID, {longId}};
        namePointers[at] = &names[at];
    }
    const HRESULT outcome = message.getIDsFromNames(nameCount, namePointers, tags);
    if (SUCCEEDED(outcome) && tags) return true;
    reports.sessionCannotNameProperties(FAILED(outcome) ? outcome : E_UNEXPECTED);
    state = State::closed;
    return false;
}

// The contact's message, released before the next contact, and its
// addresses, an Exchange address resolved through the address book entry
// it was taken from. That entry is the contact's own, so its SMTP address is
// taken whatever address the entry holds now. All of it is read before
// anything is written, so that a contact that cannot be read leaves nothing
// in its list for the object model's road to repeat.
SessionRoad::ContactAddresses SessionRoad::addressesOf(CurrentContact& contact) {
    const com::WideString& entryIdText = contact.entryId();
    const std::optional<mapi::EntryId> entryId =
        mapi::entryIdFromHex(entryIdText.get(), entryIdText.lengthToFirstNul());
    if (!entryId) return ContactAddresses::failed(MAPI_E_INVALID_ENTRYID, "_ContactItem.EntryID");

    mapi::Message message;
    HRESULT outcome = store.openMessage(*entryId, message);
    if (FAILED(outcome)) return ContactAddresses::failed(outcome, "IMsgStore.OpenEntry");
    if (!namedPropertiesFrom(message)) return {};
    mapi::PropertyValues values(freeBuffer);
    outcome = message.getProps(*tags.get(), values);
    if (SUCCEEDED(outcome) && !values.values) outcome = E_UNEXPECTED;
    if (FAILED(outcome)) return ContactAddresses::failed(outcome, "IMessage.GetProps");
    const MapiAddresses found = readMapiAddresses(values.values.get(), values.count);
    if (FAILED(found.failure)) return ContactAddresses::failed(found.failure, "IMessage.GetProps");

    ContactAddresses read;
    for (const MapiAddress& each : found.addresses) {
        if (!each.isExchange || each.originalEntryId == nullptr || !addressBookReady()) {
            read.addresses.push_back({each.address, each.isExchange});
            continue;
        }
        mapi::MailUser user;
        outcome = addressBook.openMailUser(*each.originalEntryId, user);
        if (outcome == mapi::MAPI_E_NOT_FOUND) {
            read.addresses.push_back({com::WideString(), false});
            continue;
        }
        if (FAILED(outcome)) return ContactAddresses::failed(outcome, "IAddrBook.OpenEntry");
        mapi::SPropTagArray smtpTag{1, {mapi::PR_SMTP_ADDRESS_W}};
        mapi::PropertyValues smtp(freeBuffer);
        outcome = user.getProps(smtpTag, smtp);
        if (SUCCEEDED(outcome) && (!smtp.values || smtp.count < 1)) outcome = E_UNEXPECTED;
        if (SUCCEEDED(outcome)) outcome = mapiText::unreadError(smtp.values.get()[0]);
        if (FAILED(outcome)) return ContactAddresses::failed(outcome, "IMailUser.GetProps");
        // No SMTP address (MAPI_E_NOT_FOUND) is the empty text, as on the other roads.
        read.addresses.push_back({mapiText::toWide(smtp.values.get()[0]), false});
    }
    return read;
}

bool SessionRoad::addressBookReady() {
    if (!addressBookAsked) {
        addressBookAsked = true;
        const HRESULT outcome = session.openAddressBook(mapi::AB_NO_DIALOG, addressBook);
        if (FAILED(outcome)) reports.addressBookUnavailable(outcome);
    }
    return static_cast<bool>(addressBook);
}

}  // namespace exporting
