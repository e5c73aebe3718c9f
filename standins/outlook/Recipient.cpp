#include "Recipient.h"

#include "AddressEntry.h"
#include "Results.h"

namespace outlook {

namespace {

const AddressBookEntry* findEntry(const Profile& profile, const std::wstring& address) {
    for (const AddressBookEntry& entry : profile.addressBook) {
        if (entry.address == address) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

Recipient::Recipient(SessionPtr session, std::wstring name) : DispatchObject(std::move(session), RecipientInterface) {
    const AddressBookEntry* entry = findEntry(this->session()->profile(), name);
    addMember("Resolve", ResultKind::Value, [entry](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setBool(result, entry != nullptr && entry->resolves);
        return S_OK;
    });
    addMember("AddressEntry", ResultKind::Object,
              [this, entry, name = std::move(name)](const Arguments& arguments, VARIANT& result) {
                  if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
                      return count;
                  }
                  const AddressBookEntry* resolved = entry != nullptr && entry->resolves ? entry : nullptr;
                  setObject(result, platform::makeComObject<AddressEntry>(this->session(), name, resolved));
                  return S_OK;
              });
}

}  // namespace outlook
