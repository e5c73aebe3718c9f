#pragma once

#include "text/WideString.h"

// Writes `opening` (literal text ending in a quotation mark), the JSON text
// of `value`, and the closing quotation mark. The opening goes out before
// the value is escaped: a conversion that fails leaves the output ending in it.
void writeJsonString(const char* opening, const text::WideString& value);
