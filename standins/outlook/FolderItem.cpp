#include "FolderItem.h"

#include "CallAdmission.h"
#include "ErrorReporting.h"
#include "Results.h"

namespace standin::outlook {

FolderItem::FolderItem(SessionPtr session, const ::outlook::OutlookInterface& outlookInterface, size_t item)
    : DispatchObject(std::move(session), outlookInterface) {
    // The first member: Class has the same DISPID on every kind of item, as
    // on Outlook's, so a client may look it up once for all of them.
    const LONG objectClass = this->session()->profile().item(item).objectClass;
    addProperty("Class", ResultKind::Value, [objectClass](VARIANT& result) { setLong(result, objectClass); });
    nameOperation("Class", "item.Class");
}

HRESULT FolderItem::queryOtherInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, ::outlook::ContactItemInterface.iid)) {
        if (const HRESULT refused = admission::objectQuery(); FAILED(refused)) return refused;
        if (const profile::Fault* fault = session()->call("item.QueryInterface")) {
            const HRESULT result =
                fault->yieldsNull ? E_NOINTERFACE : profile::reportFault(*fault, outlookInterface().iid, nullptr);
            if (FAILED(result)) return result;
        }
    }
    return DispatchObject::queryOtherInterface(iid, object);
}

}  // namespace standin::outlook
