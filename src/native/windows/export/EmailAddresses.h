#pragma once

#include "connection/MapiLibrary.h"
#include "export/ContactRecord.h"
#include "export/CurrentContact.h"
#include "export/ExchangeResolver.h"
#include "export/MapiObjectRoad.h"
#include "export/ObjectModelRoad.h"
#include "export/SessionRoad.h"
#include "platform/outlook/OutlookObjectModel.h"

#include <array>
#include <cstddef>

namespace exporting {

// A contact's three e-mail addresses, in order, an Exchange address (type
// "EX") replaced by its SMTP address. Three roads lead to them; this is
// where the run chooses between them (see the constructor).
class EmailAddresses {
public:
    // Without `mapi` (MAPI not loaded), the object model's road alone.
    EmailAddresses(const outlook::NameSpace& nameSpace, const outlook::Folder& contactsFolder,
                   const connection::MapiEntryPoints* mapi, text::RecordEncoding encoding);
    EmailAddresses(const EmailAddresses&) = delete;
    EmailAddresses& operator=(const EmailAddresses&) = delete;

    void write(CurrentContact& contact, JsonList& addresses);

private:
    void takeNextRoad() noexcept;
    void announceObjectModel() noexcept;

    ExchangeResolver resolver;
    MapiObjectRoad mapiObject;
    SessionRoad session;
    ObjectModelRoad objectModel;
    std::array<EmailRoad*, 3> roads;
    std::size_t current;
    bool objectModelAnnounced = false;
};

}  // namespace exporting
