#include "ComRegistration.h"

#include <windows.h>

#include "LauncherError.h"
#include "Utf.h"

namespace launcher {

namespace {

constexpr const wchar_t* clsid = L"{0006F03A-0000-0000-C000-000000000046}";

void setString(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    const LONG status = RegSetKeyValueW(HKEY_LOCAL_MACHINE, keyPath.c_str(), name, REG_SZ, value.c_str(),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        throw LauncherError("cannot write registry key " + standin::utf16ToUtf8(keyPath) + " (error " +
                            std::to_string(status) + ")");
    }
}

}  // namespace

void registerOutlookStandin(const std::wstring& dllPath) {
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring classKey = classes + L"CLSID\\" + clsid;
    setString(classKey, nullptr, L"Microsoft Outlook");
    setString(classKey + L"\\InprocServer32", nullptr, dllPath);
    setString(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    setString(classKey + L"\\ProgID", nullptr, L"Outlook.Application.16");
    setString(classKey + L"\\VersionIndependentProgID", nullptr, L"Outlook.Application");
    setString(classes + L"Outlook.Application", nullptr, L"Microsoft Outlook");
    setString(classes + L"Outlook.Application\\CLSID", nullptr, clsid);
    setString(classes + L"Outlook.Application\\CurVer", nullptr, L"Outlook.Application.16");
    setString(classes + L"Outlook.Application.16", nullptr, L"Microsoft Outlook");
    setString(classes + L"Outlook.Application.16\\CLSID", nullptr, clsid);
}

}  // namespace launcher
