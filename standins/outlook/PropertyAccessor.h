#pragma once

#include "DispatchObject.h"

namespace outlook {

// An address entry's property accessor: PR_SMTP_ADDRESS by its schema name.
class PropertyAccessor : public DispatchObject {
public:
    PropertyAccessor(SessionPtr session, const AddressBookEntry* entry);
};

}  // namespace outlook
