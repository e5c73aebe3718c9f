#include "AddressEntry.h"

#include "PropertyAccessor.h"
#include "Results.h"

namespace outlook {

AddressEntry::AddressEntry(SessionPtr session, std::wstring name, const AddressBookEntry* entry)
    : DispatchObject(std::move(session), AddressEntryInterface) {
    Text address = entry != nullptr ? entry->entryAddress : Text(std::move(name));
    addMember("Address", ResultKind::Bstr, [address = std::move(address)](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setText(result, address);
        return S_OK;
    });
    addMember("PropertyAccessor", ResultKind::Object, [this, entry](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setObject(result, platform::makeComObject<PropertyAccessor>(this->session(), entry));
        return S_OK;
    });
}

}  // namespace outlook
