#include "Application.h"

#include "NameSpace.h"
#include "Results.h"

namespace standin::outlook {

Application::Application(SessionPtr session) : DispatchObject(std::move(session), ::outlook::ApplicationInterface) {
    addTextMethod("GetNamespace", ResultKind::Object, [this](const std::wstring& type, VARIANT& result) {
        if (CompareStringOrdinal(type.c_str(), -1, L"MAPI", -1, TRUE) != CSTR_EQUAL) {
            return E_INVALIDARG;  // Outlook has no other namespace
        }
        setObject(result, com::makeComObject<NameSpace>(this->session()));
        return S_OK;
    });
    addProperty("Version", ResultKind::Bstr,
                [this](VARIANT& result) { setText(result, this->session()->profile().version); });
}

}  // namespace standin::outlook
