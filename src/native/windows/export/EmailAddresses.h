#pragma once

#include "export/ContactRecord.h"
#include "platform/mapi/MapiDefinitions.h"
#include "platform/outlook/OutlookObjectModel.h"

// A contact's three e-mail addresses, in order, an Exchange address (type
// "EX") replaced by the SMTP address that Outlook's address book gives for
// it. They are read by one of two roads:
// - through MAPI, while MAPI is loaded and the contacts' MAPI objects can be
//   used: the six values in one call on the contact's own message object;
// - through the object model otherwise: each address, and its type when
//   there is an address.
// Outlook's MAPI objects do not cross from its process into another, so on
// most machines the first contact's MAPIOBJECT gives no IMAPIProp: from
// then on the run takes the object model's road.
class EmailAddresses {
public:
    // Without `mapiFreeBuffer` (MAPI not loaded), the object model's road.
    EmailAddresses(const outlook::NameSpace& nameSpace, mapi::MAPIFREEBUFFER mapiFreeBuffer) noexcept;

    void write(const outlook::ContactItem& contact, JsonList& addresses);

private:
    enum class Road { mapi, objectModel };

    bool writeThroughMapi(const outlook::ContactItem& contact, JsonList& addresses);
    void writeThroughObjectModel(const outlook::ContactItem& contact, JsonList& addresses) const;
    WideString resolved(const WideString& address, bool isExchange) const;
    WideString resolveSmtpAddress(const WideString& address) const;

    const outlook::NameSpace& nameSpace;
    const mapi::MAPIFREEBUFFER freeBuffer;
    Road road;
};
