#include "OtherItem.h"

namespace standin::outlook {

OtherItem::OtherItem(SessionPtr session, size_t item)
    : FolderItem(session, interfaceOfItemClass(session->profile().item(item).className), item) {}

}  // namespace standin::outlook
