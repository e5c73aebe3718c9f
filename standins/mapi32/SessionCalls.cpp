#include "SessionCalls.h"

#include "ErrorReporting.h"
#include "OperationCalls.h"

namespace mapi32 {

const outlook::Fault* sessionCall(const outlook::Profile& profile, const char* operation) {
    return profile.faultFor(operation, outlook::journalCall(operation));
}

HRESULT faultedObjectCall(const outlook::Fault& fault, const IID& interfaceId) {
    return fault.yieldsNull ? S_OK : outlook::reportFault(fault, interfaceId, nullptr);
}

}  // namespace mapi32
