#include "FolderItem.h"

#include "CallAdmission.h"
#include "ErrorReporting.h"

namespace outlook {

HRESULT FolderItem::queryOtherInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, ContactItemInterface.iid)) {
        if (const HRESULT refused = admission::objectQuery(); FAILED(refused)) {
            return refused;
        }
        if (const Fault* fault = session()->call("item.QueryInterface")) {
            const HRESULT result =
                fault->yieldsNull ? E_NOINTERFACE : reportFault(*fault, outlookInterface().iid, nullptr);
            if (FAILED(result)) {
                return result;
            }
        }
    }
    return DispatchObject::queryOtherInterface(iid, object);
}

}  // namespace outlook
