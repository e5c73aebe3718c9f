#pragma once

#include "DispatchObject.h"

namespace outlook {

// Outlook.Application: the object the class factory creates.
class Application : public DispatchObject {
public:
    explicit Application(SessionPtr session);
};

}  // namespace outlook
