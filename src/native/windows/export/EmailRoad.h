#pragma once

#include "export/ContactRecord.h"
#include "export/CurrentContact.h"

namespace exporting {

// What a road to the e-mail addresses did with one contact.
enum class RoadAnswer {
    // The contact's addresses are in its list.
    written,
    // Nothing written: this road could not read this contact, whose
    // addresses go through the object model, the road that reads any
    // contact; the contacts after it come back to this road.
    contactNotRead,
    // Nothing written: this road cannot serve the run, which takes the next
    // road for this contact and every one after it.
    closed,
};

// One road to a contact's three e-mail addresses (EmailAddresses chooses
// between them). A road writes the whole list or nothing; a failure that
// says nothing of the contact (Outlook gone, or busy past the deadline)
// raises the COM error and ends the walk, as any failed call does.
class EmailRoad {
public:
    virtual RoadAnswer write(CurrentContact& contact, JsonList& addresses) = 0;

protected:
    ~EmailRoad() = default;
};

}  // namespace exporting
