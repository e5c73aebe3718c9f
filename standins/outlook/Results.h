#pragma once

#include "Profile.h"
#include "com/ComRef.h"

#include <windows.h>
#include <oaidl.h>

namespace standin::outlook {

// Fill an empty VARIANT with a member's result. Object results take over the
// reference passed in.
void setObject(VARIANT& result, com::ComRef<IDispatch> object);
void setUnknown(VARIANT& result, com::ComRef<IUnknown> object);
void setText(VARIANT& result, const profile::Text& text);  // no text: a null BSTR
void setLong(VARIANT& result, LONG value);
void setBool(VARIANT& result, bool value);
void setDate(VARIANT& result, const SYSTEMTIME& localTime);  // VT_DATE, no time-zone arithmetic

}  // namespace standin::outlook
