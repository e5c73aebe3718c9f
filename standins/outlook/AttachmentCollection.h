#pragma once

#include "DispatchObject.h"

namespace standin::outlook {

// A contact's attachments.
class AttachmentCollection : public DispatchObject {
public:
    AttachmentCollection(SessionPtr session, size_t item);
};

}  // namespace standin::outlook
