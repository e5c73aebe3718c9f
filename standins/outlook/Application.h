#pragma once

#include "DispatchObject.h"

namespace standin::outlook {

// Outlook.Application: the object the class factory creates.
class Application : public DispatchObject {
public:
    explicit Application(SessionPtr session);
};

}  // namespace standin::outlook
