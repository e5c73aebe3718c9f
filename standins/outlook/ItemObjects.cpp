#include "ItemObjects.h"

#include "ContactItem.h"
#include "OtherItem.h"

namespace standin::outlook {

com::ComRef<IDispatch> createItemObject(const SessionPtr& session, size_t item) {
    if (session->profile().item(item).isContact()) return com::makeComObject<ContactItem>(session, item);
    return com::makeComObject<OtherItem>(session, item);
}

}  // namespace standin::outlook
