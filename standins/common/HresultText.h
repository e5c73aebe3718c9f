#pragma once

#include <windows.h>

#include <string>

namespace standin {

// An HRESULT as the journal and the launcher's messages write it: "0x8004010F".
std::string hresultText(HRESULT result);

}  // namespace standin
