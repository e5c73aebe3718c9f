#pragma once

#include "CallerContract.h"
#include "connection/MapiLibrary.h"
#include "export/PictureFileLock.h"
#include "platform/BusyMessageFilter.h"
#include "platform/ComApartment.h"
#include "platform/OutlookObjectModel.h"
#include "text/WideString.h"

#include <optional>
#include <string>

class ContactRecord;
class JsonList;

// The one connection to Outlook for the whole run, and the export that runs
// on it. Construction builds as much of the connection as it can: a COM
// error leaves it incomplete, with the status "ko". A failure to find
// Outlook installed or to load MAPI leaves the constructor as a
// std::runtime_error, and so does an allocation failure (std::bad_alloc).
//
// The members are declared in the order of construction, so that destroying
// them is the teardown, in reverse: MAPI ended and its library released;
// the automation objects released (items, folder, application, namespace);
// the message filter revoked; COM left.
class ContactExporter {
public:
    ContactExporter();
    ~ContactExporter() = default;
    ContactExporter(const ContactExporter&) = delete;
    ContactExporter& operator=(const ContactExporter&) = delete;

    // "ko" unless the connection is complete, then Outlook's version (UTF-8).
    const std::string& statusText() const noexcept { return status; }

    // Writes every contact of the default contacts folder as one JSON line,
    // then the trailer line. A COM error stops the walk where it stands.
    void exportContacts();

private:
    void connect();

    void walkContacts();
    bool writeContactRecord(const outlook::ContactItem& contact, outlook::Attachments& attachments);
    bool writePicture(const outlook::ContactItem& contact, outlook::Attachments& attachments, ContactRecord& record);
    void writePhones(const outlook::ContactItem& contact, JsonList& phones);
    void writeEmailAddresses(const outlook::ContactItem& contact, JsonList& addresses);
    bool writeEmailAddressesThroughMapi(const outlook::ContactItem& contact, JsonList& addresses);
    void writeEmailAddressesThroughObjectModel(const outlook::ContactItem& contact, JsonList& addresses);
    text::WideString resolveSmtpAddress(const text::WideString& address) const;

    platform::ComApartment apartment;
    platform::MessageFilterRegistration busyMessageFilter;
    outlook::NameSpace nameSpace;
    outlook::Application application;
    outlook::Folder contactsFolder;
    outlook::Items contactItems;
    std::string status = callerContract::ko;
    std::string picturePath;
    PictureFileLock pictureFileLock;
    std::optional<MapiLibrary> mapiLibrary;

    // Where the walk reads e-mail addresses: through MAPI while the library
    // is loaded and the contacts' MAPI objects can be used, else through the
    // object model.
    enum class EmailRoad { mapi, objectModel };
    EmailRoad emailRoad = EmailRoad::objectModel;
};
