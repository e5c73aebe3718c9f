#pragma once

#include <string>

namespace standin::launcher {

// Registers the Outlook stand-in DLL as the in-process server of
// Outlook.Application (HKLM\Software\Classes, 64-bit view), in place of a
// local server left registered; writes the type library of the Outlook
// interfaces beside the DLL and registers it.
void registerOutlookStandin(const std::wstring& dllPath);

// For as long as it lives, Outlook.Application resolves to the local server
// (outlook-standin-server.exe beside the registered DLL) registered as
// LocalServer32, as Outlook registers it; the in-process registration comes
// back when it ends. Only a run that has the prefix to itself may hold one.
class LocalServerRegistration {
public:
    LocalServerRegistration();
    ~LocalServerRegistration();
    LocalServerRegistration(const LocalServerRegistration&) = delete;
    LocalServerRegistration& operator=(const LocalServerRegistration&) = delete;

private:
    std::wstring dllPath;
};

}  // namespace standin::launcher
