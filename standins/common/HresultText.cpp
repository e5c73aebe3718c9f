#include "HresultText.h"

namespace standin {

std::string hresultText(HRESULT result) {
    char text[16];
    wsprintfA(text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

}  // namespace standin
