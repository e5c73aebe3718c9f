#include "ComRegistration.h"

#include "LauncherError.h"
#include "TypeLibrary.h"
#include "Utf.h"

#include <windows.h>

namespace standin::launcher {

namespace {

constexpr const wchar_t* clsid = L"{0006F03A-0000-0000-C000-000000000046}";
const std::wstring classKey = std::wstring(L"Software\\Classes\\CLSID\\") + clsid;
constexpr const wchar_t* serverExe = L"outlook-standin-server.exe";

void setString(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    const LONG status = RegSetKeyValueW(HKEY_LOCAL_MACHINE, keyPath.c_str(), name, REG_SZ, value.c_str(),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        throw LauncherError(statusFailure("cannot write registry key " + utf16ToUtf8(keyPath), status));
    }
}

void deleteKey(const std::wstring& keyPath) {
    const LONG status = RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_WOW64_64KEY, 0);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        throw LauncherError(statusFailure("cannot delete registry key " + utf16ToUtf8(keyPath), status));
    }
}

std::wstring readString(const std::wstring& keyPath) {
    wchar_t value[MAX_PATH * 2];
    DWORD size = sizeof value;
    const LONG status =
        RegGetValueW(HKEY_LOCAL_MACHINE, keyPath.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
    if (status != ERROR_SUCCESS) {
        throw LauncherError(statusFailure("cannot read registry key " + utf16ToUtf8(keyPath), status) +
                            "; is the prefix prepared?");
    }
    return value;
}

// The folder of a file's path with its separator, empty for a bare name.
std::wstring folderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

void registerInprocServer(const std::wstring& dllPath) {
    setString(classKey + L"\\InprocServer32", nullptr, dllPath);
    setString(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
}

}  // namespace

void registerOutlookStandin(const std::wstring& dllPath) {
    const std::wstring classes = L"Software\\Classes\\";
    setString(classKey, nullptr, L"Microsoft Outlook");
    // A local-server run ended before it could restore the registration
    // leaves its LocalServer32 behind; the in-process server replaces it.
    deleteKey(classKey + L"\\LocalServer32");
    registerInprocServer(dllPath);
    setString(classKey + L"\\ProgID", nullptr, L"Outlook.Application.16");
    setString(classKey + L"\\VersionIndependentProgID", nullptr, L"Outlook.Application");
    setString(classes + L"Outlook.Application", nullptr, L"Microsoft Outlook");
    setString(classes + L"Outlook.Application\\CLSID", nullptr, clsid);
    setString(classes + L"Outlook.Application\\CurVer", nullptr, L"Outlook.Application.16");
    setString(classes + L"Outlook.Application.16", nullptr, L"Microsoft Outlook");
    setString(classes + L"Outlook.Application.16\\CLSID", nullptr, clsid);

    registerOutlookTypeLibrary(folderOf(dllPath) + L"outlook-standin.tlb");
}

LocalServerRegistration::LocalServerRegistration() : dllPath(readString(classKey + L"\\InprocServer32")) {
    deleteKey(classKey + L"\\InprocServer32");
    try {
        setString(classKey + L"\\LocalServer32", nullptr, L"\"" + folderOf(dllPath) + serverExe + L"\"");
    } catch (...) {
        registerInprocServer(dllPath);
        throw;
    }
}

LocalServerRegistration::~LocalServerRegistration() {
    try {
        deleteKey(classKey + L"\\LocalServer32");
        registerInprocServer(dllPath);
    } catch (const LauncherError& error) {
        // The run's own outcome is already decided; the broken prefix must not go unnoticed.
        reportFailure(error.what());
    }
}

}  // namespace standin::launcher
