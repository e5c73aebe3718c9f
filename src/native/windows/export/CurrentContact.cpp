#include "export/CurrentContact.h"

namespace exporting {

const com::WideString& CurrentContact::entryId() {
    if (!readEntryId) readEntryId = contact.entryId();
    return *readEntryId;
}

}  // namespace exporting
