#pragma once

#include "FolderItem.h"

namespace standin::outlook {

// An item that is not a contact (a distribution list, a note, ...). It has
// no members the exporter uses and answers E_NOINTERFACE for _ContactItem.
class OtherItem : public FolderItem {
public:
    OtherItem(SessionPtr session, size_t item);
};

}  // namespace standin::outlook
