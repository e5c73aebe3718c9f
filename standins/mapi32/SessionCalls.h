#pragma once

#include "Profile.h"

#include <windows.h>

#include <memory>

namespace standin::mapi32 {

// The profile that a logon read, shared by every object of its session.
using ProfilePtr = std::shared_ptr<const profile::Profile>;

// Journals a call of a session operation and returns the fault the profile
// plans for it, or null. The session runs in the client's own process, so
// its calls are not among the operations that Outlook's busy windows and
// going away count.
const profile::Fault* sessionCall(const profile::Profile& profile, const char* operation);

// What a planned fault makes of a call that yields an object: its failure,
// or, for "result": "null", success without the object.
HRESULT faultedObjectCall(const profile::Fault& fault, const IID& interfaceId);

}  // namespace standin::mapi32
