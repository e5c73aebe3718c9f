#pragma once

#include "DispatchObject.h"

namespace standin::outlook {

// One attachment; SaveAsFile writes its bytes unchanged.
class Attachment : public DispatchObject {
public:
    Attachment(SessionPtr session, size_t item, size_t attachment);
};

}  // namespace standin::outlook
