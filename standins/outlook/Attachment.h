#pragma once

#include "DispatchObject.h"

namespace outlook {

// One attachment; SaveAsFile writes its bytes unchanged.
class Attachment : public DispatchObject {
public:
    Attachment(SessionPtr session, size_t item, size_t attachment);
};

}  // namespace outlook
