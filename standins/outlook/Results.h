#pragma once

#include <windows.h>
#include <oaidl.h>

#include "Profile.h"

namespace outlook {

// Fill an empty VARIANT with a member's result. Object results take over the
// reference the caller passes in.
void setObject(VARIANT& result, IDispatch* object);
void setUnknown(VARIANT& result, IUnknown* object);
void setText(VARIANT& result, const Text& text);  // no text: a null BSTR
void setLong(VARIANT& result, LONG value);
void setBool(VARIANT& result, bool value);

}  // namespace outlook
