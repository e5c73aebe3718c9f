#pragma once

#include "DispatchObject.h"

namespace outlook {

// A contact's attachments.
class AttachmentCollection : public DispatchObject {
public:
    AttachmentCollection(SessionPtr session, size_t item);
};

}  // namespace outlook
