#pragma once

#include "FolderItem.h"

namespace standin::outlook {

// A contact: the profile's item at index `item` (0-based).
class ContactItem : public FolderItem {
public:
    ContactItem(SessionPtr session, size_t item);
};

}  // namespace standin::outlook
