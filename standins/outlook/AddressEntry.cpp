#include "AddressEntry.h"

#include "PropertyAccessor.h"
#include "Results.h"

namespace standin::outlook {

AddressEntry::AddressEntry(SessionPtr session, std::wstring name, const profile::AddressBookEntry* entry)
    : DispatchObject(std::move(session), ::outlook::AddressEntryInterface) {
    profile::Text address = entry != nullptr ? entry->entryAddress : profile::Text(std::move(name));
    addProperty("Address", ResultKind::Bstr,
                [address = std::move(address)](VARIANT& result) { setText(result, address); });
    addProperty("PropertyAccessor", ResultKind::Object, [this, entry](VARIANT& result) {
        setObject(result, com::makeComObject<PropertyAccessor>(this->session(), entry));
    });
    guardMember("Address");
    guardMember("PropertyAccessor");
}

}  // namespace standin::outlook
