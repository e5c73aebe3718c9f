#include "OtherItem.h"

namespace outlook {

OtherItem::OtherItem(SessionPtr session, size_t item)
    : FolderItem(session, interfaceOfItemClass(session->profile().item(item).className), item) {}

}  // namespace outlook
