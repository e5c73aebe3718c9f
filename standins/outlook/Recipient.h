#pragma once

#include "DispatchObject.h"

#include <string>

namespace standin::outlook {

// What CreateRecipient returns: the name it was given and the address-book
// entry of that exact address, if there is one.
class Recipient : public DispatchObject {
public:
    Recipient(SessionPtr session, std::wstring name);
};

}  // namespace standin::outlook
