#include "export/JsonString.h"

#include "text/JsonEscape.h"
#include "text/StandardStreams.h"

void writeJsonString(const char* opening, const text::WideString& value) {
    text::writeOut(opening);
    text::writeOut(text::escapeForJson(value));
    text::writeOut("\"");
}
