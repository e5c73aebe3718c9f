#pragma once

// The floor's MAPI session of its own, opened and used as the exporter opens
// and uses its own (export/SessionRoad.cpp, platform/mapi/MapiSession.cpp):
// the same flags, the same calls in the same order, and everything released
// in the same order.

#include "BaselineDispatch.h"
#include "BaselineExchange.h"
#include "BaselineMapi.h"
#include "BaselineMembers.h"

namespace baseline {

class Session {
public:
    Session(const Mapi& mapi, Members& members, ExchangeByName& byName)
        : mapi_(mapi), members_(members), byName_(byName) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    // The address book, the named properties' tags and the store, then the
    // session's Logoff and its last reference.
    ~Session();

    // The profile Outlook runs with, a logon on it and the contacts' store;
    // false when any of it cannot be had.
    bool open(IDispatch* nameSpace, IDispatch* folder);
    // The contact's message by its EntryID (which `entryIdRead` records),
    // its addresses, and each Exchange address's SMTP address from the
    // address book entry it was taken from.
    Answer write(IDispatch* contact, bool& entryIdRead);

private:
    bool addressBookReady();

    const Mapi& mapi_;
    Members& members_;
    ExchangeByName& byName_;
    mapi::IMAPISession* session_ = nullptr;
    Ref<mapi::IMsgStore> store_;
    mapi::SPropTagArray* tags_ = nullptr;
    Ref<mapi::IAddrBook> addressBook_;
    bool addressBookAsked_ = false;
};

}  // namespace baseline
