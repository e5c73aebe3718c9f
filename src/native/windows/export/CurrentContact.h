#pragma once

#include "platform/com/WideString.h"
#include "platform/outlook/OutlookObjectModel.h"

#include <optional>

namespace exporting {

// The contact the walk is at: its item, its position in the folder (1 is
// the first item), and its EntryID once read. Whatever needs the EntryID
// shares that one reading, which is one round trip into Outlook.
class CurrentContact {
public:
    CurrentContact(const outlook::ContactItem& contactItem, long positionInFolder) noexcept
        : contact(contactItem), folderPosition(positionInFolder) {}
    CurrentContact(const CurrentContact&) = delete;
    CurrentContact& operator=(const CurrentContact&) = delete;

    const outlook::ContactItem& item() const noexcept { return contact; }
    long position() const noexcept { return folderPosition; }
    const com::WideString& entryId();

private:
    const outlook::ContactItem& contact;
    const long folderPosition;
    std::optional<com::WideString> readEntryId;
};

}  // namespace exporting
