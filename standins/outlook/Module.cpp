// The DLL's entry points: the class object for Outlook.Application, and the
// live-object report as the process lets the DLL go. The report is written
// only by a process that created the application here: the local server
// reports its own objects.

#include "ClassFactory.h"
#include "Journal.h"
#include "LiveObjects.h"
#include "OutlookInterfaces.h"

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <string>

namespace standin::outlook {
namespace {

std::atomic<bool> servesApplication{false};

HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

}  // namespace
}  // namespace standin::outlook

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: {
        DisableThreadLibraryCalls(instance);
        // Stay loaded until the process ends, whatever COM decides after
        // CoUninitialize: objects the exporter still holds stay callable,
        // and the live-object count below is taken once, at the very end.
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&standin::outlook::thisModule), &pinned);
        break;
    }
    case DLL_PROCESS_DETACH:
        if (standin::outlook::servesApplication) {
            standin::journal("live-objects " + std::to_string(standin::LiveObject::count()));
        }
        break;
    default: break;
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, outlook::CLSID_OutlookApplication)) return CLASS_E_CLASSNOTAVAILABLE;
    standin::outlook::servesApplication = true;
    return com::makeComObject<standin::outlook::ClassFactory>()->QueryInterface(iid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return standin::LiveObject::count() == 0 && standin::outlook::ClassFactory::serverLocks() == 0 ? S_OK : S_FALSE;
}

}  // extern "C"
