#include "TypeLibrary.h"

#include "HresultText.h"
#include "LauncherError.h"
#include "OutlookInterfaces.h"
#include "Utf.h"
#include "com/ComRef.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace standin::launcher {

namespace {

// {4B0FB3E6-FD44-4A33-BE01-405322687882}
constexpr GUID libraryId = {0x4B0FB3E6, 0xFD44, 0x4A33, {0xBE, 0x01, 0x40, 0x53, 0x22, 0x68, 0x78, 0x82}};
// {00020430-0000-0000-C000-000000000046}: OLE Automation (stdole2.tlb)
constexpr GUID stdOleId = {0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

void check(HRESULT result, const char* what) {
    if (FAILED(result))
        throw LauncherError(std::string("type library: ") + what + " failed with " + hresultText(result));
}

void addDispinterface(ICreateTypeLib2* library, ITypeInfo* dispatchInfo, const ::outlook::OutlookInterface& what) {
    const std::wstring name = utf8ToUtf16(what.name);
    com::ComRef<ICreateTypeInfo> info;
    check(library->CreateTypeInfo(const_cast<LPOLESTR>(name.c_str()), TKIND_DISPATCH, info.put()), "CreateTypeInfo");
    check(info->SetGuid(what.iid), "SetGuid");
    HREFTYPE dispatch = 0;
    check(info->AddRefTypeInfo(dispatchInfo, &dispatch), "AddRefTypeInfo");
    check(info->AddImplType(0, dispatch), "AddImplType");
    check(info->LayOut(), "LayOut");
}

}  // namespace

void registerOutlookTypeLibrary(const std::wstring& path) {
    com::ComRef<ITypeLib> stdOle;
    check(LoadRegTypeLib(stdOleId, 2, 0, LOCALE_NEUTRAL, stdOle.put()), "loading stdole2.tlb");
    com::ComRef<ITypeInfo> dispatchInfo;
    check(stdOle->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo.put()), "finding IDispatch");

    com::ComRef<ICreateTypeLib2> library;
    check(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, path.c_str(), library.put()), "CreateTypeLib2");
    check(library->SetGuid(libraryId), "SetGuid");
    check(library->SetName(const_cast<LPOLESTR>(L"OutlookStandin")), "SetName");
    check(library->SetVersion(1, 0), "SetVersion");
    check(library->SetLcid(LOCALE_NEUTRAL), "SetLcid");
    for (const ::outlook::OutlookInterface* what : outlookInterfaces) {
        addDispinterface(library.get(), dispatchInfo.get(), *what);
    }
    check(library->SaveAllChanges(), "SaveAllChanges");

    com::ComRef<ITypeLib> saved;
    check(library.query(IID_ITypeLib, saved), "QueryInterface");
    check(RegisterTypeLib(saved.get(), const_cast<LPOLESTR>(path.c_str()), nullptr), "RegisterTypeLib");
}

}  // namespace standin::launcher
