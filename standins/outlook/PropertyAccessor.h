#pragma once

#include "DispatchObject.h"

namespace standin::outlook {

// An address entry's property accessor: PR_SMTP_ADDRESS by its schema name.
class PropertyAccessor : public DispatchObject {
public:
    PropertyAccessor(SessionPtr session, const profile::AddressBookEntry* entry);
};

}  // namespace standin::outlook
