#include "ItemObjects.h"

#include "ContactItem.h"
#include "ErrorReporting.h"
#include "OtherItem.h"

namespace outlook {

IDispatch* createItemObject(const SessionPtr& session, size_t item) {
    if (session->profile().item(item).isContact()) {
        return createObject<ContactItem>(session, item);
    }
    return createObject<OtherItem>(session, item);
}

HRESULT contactInterfaceQuery(const Session& session, const IID& itemInterface) {
    const Fault* fault = session.call("item.QueryInterface");
    if (fault == nullptr) {
        return S_OK;
    }
    if (fault->yieldsNull) {
        return E_NOINTERFACE;
    }
    return reportFault(*fault, itemInterface, nullptr);
}

}  // namespace outlook
