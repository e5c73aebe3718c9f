#include "ItemObjects.h"

#include "ContactItem.h"
#include "OtherItem.h"

namespace outlook {

platform::ComRef<IDispatch> createItemObject(const SessionPtr& session, size_t item) {
    if (session->profile().item(item).isContact()) {
        return platform::makeComObject<ContactItem>(session, item);
    }
    return platform::makeComObject<OtherItem>(session, item);
}

}  // namespace outlook
