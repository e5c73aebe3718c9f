#include "ContactsFolder.h"

#include "ItemCollection.h"
#include "Results.h"

namespace standin::outlook {

ContactsFolder::ContactsFolder(SessionPtr session) : DispatchObject(std::move(session), ::outlook::FolderInterface) {
    addProperty("Items", ResultKind::Object,
                [this](VARIANT& result) { setObject(result, com::makeComObject<ItemCollection>(this->session())); });
    addProperty("StoreID", ResultKind::Bstr,
                [this](VARIANT& result) { setText(result, this->session()->profile().storeId); });
}

}  // namespace standin::outlook
