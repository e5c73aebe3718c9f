#pragma once

#include "connection/MapiLibrary.h"
#include "export/EmailRoad.h"
#include "export/ExchangeResolver.h"
#include "platform/mapi/MapiSession.h"
#include "platform/outlook/OutlookObjectModel.h"

namespace exporting {

// The e-mail properties through a MAPI session of the exporter's own, on
// the profile Outlook runs with: each contact's message opened by its
// EntryID in the contacts folder's store, the six values and the three
// original entry ids in one call, and an Exchange address's SMTP address
// from the address book entry it was taken from. None of it is guarded by
// Outlook's security prompt, and a program of Outlook's bitness can open
// such a session without any dialog. The session is opened when the road is
// first taken, once for the run.
class SessionRoad final : public EmailRoad {
public:
    SessionRoad(const connection::MapiEntryPoints& mapi, const outlook::NameSpace& nameSpace,
                const outlook::Folder& contactsFolder, const ExchangeResolver& resolver) noexcept;

    RoadAnswer write(CurrentContact& contact, JsonList& addresses) override;

private:
    enum class State { unopened, open, closed };

    struct AddressToWrite {
        com::WideString address;
        bool resolveByName;  // an Exchange address still to look up through the object model
    };
    struct ContactAddresses;

    bool open();
    bool namedPropertiesFrom(const mapi::Message& message);
    ContactAddresses addressesOf(CurrentContact& contact);
    bool addressBookReady();

    const mapi::MAPILOGONEX logon;
    const mapi::MAPIFREEBUFFER freeBuffer;
    const outlook::NameSpace& nameSpace;
    const outlook::Folder& contactsFolder;
    const ExchangeResolver& resolver;
    State state = State::unopened;
    bool addressBookAsked = false;

    // In the order they are had, so that the tags, the address book and the
    // store are released before the session that gave them is logged off.
    mapi::Session session;
    mapi::MessageStore store;
    mapi::Buffer<mapi::SPropTagArray> tags;
    mapi::AddressBook addressBook;
};

}  // namespace exporting
