#include "SessionCalls.h"

#include "ErrorReporting.h"
#include "OperationCalls.h"

namespace standin::mapi32 {

const profile::Fault* sessionCall(const profile::Profile& profile, const char* operation) {
    return profile.faultFor(operation, profile::journalCall(operation));
}

HRESULT faultedObjectCall(const profile::Fault& fault, const IID& interfaceId) {
    return fault.yieldsNull ? S_OK : profile::reportFault(fault, interfaceId, nullptr);
}

}  // namespace standin::mapi32
