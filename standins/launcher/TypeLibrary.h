#pragma once

#include <string>

namespace standin::launcher {

// Writes the stand-in's type library to `path` and registers it: every
// Outlook interface the stand-in serves, as a dispinterface with Outlook's
// IID. With it COM marshals those interfaces across processes with the
// oleaut32 IDispatch proxy, as it marshals Outlook's own.
void registerOutlookTypeLibrary(const std::wstring& path);

}  // namespace standin::launcher
