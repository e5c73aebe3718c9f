#pragma once

#include "DispatchObject.h"

namespace standin::outlook {

// The default contacts folder.
class ContactsFolder : public DispatchObject {
public:
    explicit ContactsFolder(SessionPtr session);
};

}  // namespace standin::outlook
