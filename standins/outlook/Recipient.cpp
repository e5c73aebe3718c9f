#include "Recipient.h"

#include "AddressEntry.h"
#include "Results.h"

namespace standin::outlook {

namespace {

const profile::AddressBookEntry* findEntry(const profile::Profile& profile, const std::wstring& address) {
    for (const profile::AddressBookEntry& entry : profile.addressBook) {
        if (entry.address == address) return &entry;
    }
    return nullptr;
}

}  // namespace

Recipient::Recipient(SessionPtr session, std::wstring name)
    : DispatchObject(std::move(session), ::outlook::RecipientInterface) {
    const profile::AddressBookEntry* entry = findEntry(this->session()->profile(), name);
    addProperty("Resolve", ResultKind::Value,
                [entry](VARIANT& result) { setBool(result, entry != nullptr && entry->resolves); });
    addProperty("AddressEntry", ResultKind::Object, [this, entry, name = std::move(name)](VARIANT& result) {
        const profile::AddressBookEntry* resolved = entry != nullptr && entry->resolves ? entry : nullptr;
        setObject(result, com::makeComObject<AddressEntry>(this->session(), name, resolved));
    });
}

}  // namespace standin::outlook
