#pragma once

#include "text/WideString.h"

// Writes `opening` (literal text ending in a quotation mark), the JSON text
// of `value`, and the closing quotation mark.
void writeJsonString(const char* opening, const text::WideString& value);
