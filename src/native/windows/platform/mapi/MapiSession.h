#pragma once

#include "../com/ComRef.h"
#include "../com/UniqueHandle.h"
#include "MapiBuffer.h"
#include "MapiDefinitions.h"

#include <cstddef>
#include <optional>
#include <vector>

// A MAPI session of the exporter's own on Outlook's profile, and the objects
// it opens: the store that holds the contacts, a contact's message, the
// address book and one of its entries. They live in the exporter's process
// (Outlook's MAPI objects do not cross into it) and MAPI never guards them
// with Outlook's security prompt. Every call answers with its HRESULT and
// raises nothing: the caller decides what a failure means. A call that
// succeeds without the object it opens answers E_UNEXPECTED.
namespace mapi {

// An entry id's bytes, as MAPI takes them.
using EntryId = std::vector<BYTE>;

// The bytes of an entry id that the object model gives as hexadecimal text
// (two digits a byte, as EntryID and StoreID are written); nothing when the
// text is not such.
std::optional<EntryId> entryIdFromHex(const wchar_t* text, std::size_t length);

// The values of one GetProps call, in the order of the tags asked for.
struct PropertyValues {
    explicit PropertyValues(MAPIFREEBUFFER freeBuffer) noexcept : values(nullptr, FreeBuffer{freeBuffer}) {}
    ULONG count = 0;
    Buffer<SPropValue> values;
};

// An address book entry of a person.
class MailUser {
public:
    HRESULT getProps(SPropTagArray& tags, PropertyValues& result) const;

private:
    friend class AddressBook;
    com::ComRef<IMailUser> user;
};

class AddressBook {
public:
    explicit operator bool() const noexcept { return static_cast<bool>(book); }
    // Opens the entry, read only.
    HRESULT openMailUser(const SBinary& entryId, MailUser& result) const;

private:
    friend class Session;
    com::ComRef<IAddrBook> book;
};

// A contact's message, read only.
class Message {
public:
    HRESULT getIDsFromNames(ULONG nameCount, MAPINAMEID** names, Buffer<SPropTagArray>& tags) const;
    HRESULT getProps(SPropTagArray& tags, PropertyValues& result) const;

private:
    friend class MessageStore;
    com::ComRef<IMessage> message;
};

class MessageStore {
public:
    explicit operator bool() const noexcept { return static_cast<bool>(store); }
    // Opens the message, read only.
    HRESULT openMessage(const EntryId& entryId, Message& result) const;

private:
    friend class Session;
    com::ComRef<IMsgStore> store;
};

// A session ends with its Logoff, then its last reference.
struct LogOff {
    void operator()(IMAPISession* session) const noexcept {
        session->Logoff(0, 0, 0);
        session->Release();
    }
};
using LoggedOnSession = com::UniqueHandle<IMAPISession*, LogOff>;

class Session {
public:
    // MAPILogonEx on the profile named, UTF-16 (MAPI_UNICODE), with `flags`.
    static HRESULT logOn(MAPILOGONEX logon, const wchar_t* profileName, ULONG flags, Session& result);

    explicit operator bool() const noexcept { return static_cast<bool>(session); }
    HRESULT openMessageStore(const EntryId& storeId, ULONG flags, MessageStore& result) const;
    HRESULT openAddressBook(ULONG flags, AddressBook& result) const;

private:
    LoggedOnSession session;
};

}  // namespace mapi
