#pragma once

#include "DispatchObject.h"

namespace standin::outlook {

// The contacts folder's items, in the profile's order; Item(1) is the first.
class ItemCollection : public DispatchObject {
public:
    explicit ItemCollection(SessionPtr session);
};

}  // namespace standin::outlook
