#include "OtherItem.h"

#include "ItemObjects.h"

namespace outlook {

OtherItem::OtherItem(SessionPtr session, size_t item)
    : DispatchObject(session, interfaceOfItemClass(session->profile().item(item).className)) {}

bool OtherItem::answerQueryInterface(REFIID iid, void** object, HRESULT& answer) {
    if (!IsEqualIID(iid, ContactItemInterface.iid)) {
        return false;
    }
    *object = nullptr;
    const HRESULT fault = contactInterfaceQuery(*session(), outlookInterface().iid);
    answer = FAILED(fault) ? fault : E_NOINTERFACE;
    return true;
}

}  // namespace outlook
