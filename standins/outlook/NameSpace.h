#pragma once

#include "DispatchObject.h"

namespace standin::outlook {

// The "MAPI" namespace: the default contacts folder and the address book.
class NameSpace : public DispatchObject {
public:
    explicit NameSpace(SessionPtr session);
};

}  // namespace standin::outlook
