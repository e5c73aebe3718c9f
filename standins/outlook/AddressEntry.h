#pragma once

#include "DispatchObject.h"

#include <string>

namespace standin::outlook {

// The address-book entry behind a recipient; without an entry (an address
// the book does not hold) it carries the recipient's name and no SMTP address.
class AddressEntry : public DispatchObject {
public:
    AddressEntry(SessionPtr session, std::wstring name, const profile::AddressBookEntry* entry);
};

}  // namespace standin::outlook
