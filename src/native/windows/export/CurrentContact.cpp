#include "export/CurrentContact.h"

const com::WideString& CurrentContact::entryId() {
    if (!readEntryId) readEntryId = contact.entryId();
    return *readEntryId;
}
