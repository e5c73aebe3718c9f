#pragma once

#include "platform/com/WideString.h"
#include "platform/mapi/MapiDefinitions.h"

namespace exporting {

// The text of a MAPI property value as the e-mail export reads it: a
// PT_STRING8 value in the ANSI code page, a PT_UNICODE value as its UTF-16
// units, each up to its first NUL. Any other type (a property the contact
// lacks comes back as an error), and a string value without its text (a
// null pointer), is the empty text.
namespace mapiText {

bool isEmpty(const mapi::SPropValue& value);
// Whether the value is exactly the address type "EX" (Exchange).
bool isExchangeType(const mapi::SPropValue& value);
com::WideString toWide(const mapi::SPropValue& value);

// The error of a value that MAPI could not give: a PT_ERROR value with any
// error but MAPI_E_NOT_FOUND (a property the object lacks). S_OK otherwise.
HRESULT unreadError(const mapi::SPropValue& value);
// A PT_BINARY value with at least one byte, or null.
const mapi::SBinary* binary(const mapi::SPropValue& value);

}  // namespace mapiText

}  // namespace exporting
