#pragma once

#include <windows.h>
#include <oaidl.h>

#include "Session.h"
#include "com/ComRef.h"

namespace outlook {

// The server end of a MapiPropertiesProxy: an IDispatch, marshalled the
// standard way, whose two methods take an IMAPIProp call as a byte message
// (VT_ARRAY | VT_UI1) and return the answer as one. The calls are the
// contact's "IMAPIProp.<method>" operations, journaled here, in the server.
//   DISPID 1  GetIDsFromNames(names) -> tags answer
//   DISPID 2  GetProps(tags)         -> values answer
namespace channel {
constexpr DISPID getIDsFromNames = 1;
constexpr DISPID getProps = 2;
}  // namespace channel

com::ComRef<IDispatch> createMapiChannel(const SessionPtr& session, size_t item);

}  // namespace outlook
