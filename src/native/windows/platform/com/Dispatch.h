#pragma once

#include "ComRef.h"
#include "Variant.h"
#include "WideString.h"

#include <oaidl.h>

#include <string>

namespace com {

// One member of an interface, called by late binding through IDispatch.
// `owner` is anything with the interface's `name` and `iid`: the IID is the
// one the object reports error information for. The member's DISPID is
// asked for once, the first time the member is called, and kept for the
// rest of the run, so a run makes one GetIDsOfNames round trip per member
// and no more.
class DispatchMember {
public:
    template <typename Interface>
    constexpr DispatchMember(const Interface& owner, const wchar_t* memberName) noexcept
        : interfaceName(owner.name), interfaceId(owner.iid), name(memberName) {}
    DispatchMember(const DispatchMember&) = delete;
    DispatchMember& operator=(const DispatchMember&) = delete;

    const IID& iid() const noexcept { return interfaceId; }
    // "<Interface>.<Member>", as errors and diagnostics name the call.
    std::string operationName() const;
    DISPID dispid(IDispatch* object) const;

    // Every member asks for its DISPID again: the DISPIDs of one object are
    // not another's (a test's fake objects, say).
    static void forgetDispids() noexcept;

private:
    const char* interfaceName;
    const IID& interfaceId;
    const wchar_t* name;
    mutable DISPID cached = DISPID_UNKNOWN;
    mutable unsigned cachedIn = 0;  // the generation of DISPIDs `cached` belongs to
};

// Reads a property or calls a method; a failure raises the COM error with
// the HRESULT the call reported (for DISP_E_EXCEPTION, the one it carries).
// `arguments` are in call order.
Variant getProperty(IDispatch* object, const DispatchMember& member);
Variant callMethod(IDispatch* object, const DispatchMember& member, VARIANT* arguments, unsigned argumentCount);

// Result readers; each raises the COM error of `member`, whose result it is,
// when the value cannot be had as the type asked for.
ComRef<IDispatch> takeObject(Variant& result, const DispatchMember& member);
ComRef<IUnknown> takeUnknown(Variant& result, const DispatchMember& member);
long takeLong(Variant& result, const DispatchMember& member);
bool takeBool(Variant& result, const DispatchMember& member);
// A date; an empty result (no value at all) is no date and raises too.
DATE takeDate(Variant& result, const DispatchMember& member);
// A text as the member gave it (NUL units and all), or any other value
// changed to text.
WideString takeText(Variant& result, const DispatchMember& member);

}  // namespace com
