#include "ContactsFolder.h"

#include "ItemCollection.h"
#include "Results.h"

namespace outlook {

ContactsFolder::ContactsFolder(SessionPtr session) : DispatchObject(std::move(session), FolderInterface) {
    addMember("Items", ResultKind::Object, [this](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setObject(result, platform::makeComObject<ItemCollection>(this->session()));
        return S_OK;
    });
}

}  // namespace outlook
