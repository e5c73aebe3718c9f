#include "AddressEntry.h"

#include "PropertyAccessor.h"
#include "Results.h"

namespace outlook {

AddressEntry::AddressEntry(SessionPtr session, std::wstring name, const AddressBookEntry* entry)
    : DispatchObject(std::move(session), AddressEntryInterface) {
    Text address = entry != nullptr ? entry->entryAddress : Text(std::move(name));
    addProperty("Address", ResultKind::Bstr,
                [address = std::move(address)](VARIANT& result) { setText(result, address); });
    addProperty("PropertyAccessor", ResultKind::Object, [this, entry](VARIANT& result) {
        setObject(result, com::makeComObject<PropertyAccessor>(this->session(), entry));
    });
    guardMember("Address");
    guardMember("PropertyAccessor");
}

}  // namespace outlook
