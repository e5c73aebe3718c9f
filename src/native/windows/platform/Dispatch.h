#pragma once

#include "platform/ComRef.h"
#include "platform/OutlookDefinitions.h"
#include "platform/Variant.h"

#include <oaidl.h>

#include <string>

namespace platform {

// One member of an Outlook interface, called by late binding through
// IDispatch; the interface's IID is the one the object reports error
// information for. Its DISPID is asked for once, the first time the member
// is called, and kept for the rest of the run, so a run makes one
// GetIDsOfNames round trip per member and no more.
class DispatchMember {
public:
    constexpr DispatchMember(const outlook::OutlookInterface& owner, const wchar_t* memberName) noexcept
        : interfaceOwner(owner), name(memberName) {}
    DispatchMember(const DispatchMember&) = delete;
    DispatchMember& operator=(const DispatchMember&) = delete;

    const outlook::OutlookInterface& owner() const noexcept { return interfaceOwner; }
    // "<Interface>.<Member>", as errors and diagnostics name the call.
    std::string operationName() const;
    DISPID dispid(IDispatch* object) const;

private:
    const outlook::OutlookInterface& interfaceOwner;
    const wchar_t* name;
    mutable DISPID cached = DISPID_UNKNOWN;
};

// Reads a property or calls a method; a failure raises the COM error with
// the HRESULT the call reported (for DISP_E_EXCEPTION, the one it carries).
// `arguments` are in call order.
Variant getProperty(IDispatch* object, const DispatchMember& member);
Variant callMethod(IDispatch* object, const DispatchMember& member, VARIANT* arguments, unsigned argumentCount);

// Result readers; each raises the COM error when the value cannot be had.
ComRef<IDispatch> takeObject(Variant& result);
ComRef<IUnknown> takeUnknown(Variant& result);
long takeLong(Variant& result);
bool takeBool(Variant& result);

}  // namespace platform
