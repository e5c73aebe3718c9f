#include "Application.h"

#include "NameSpace.h"
#include "Results.h"

namespace outlook {

Application::Application(SessionPtr session) : DispatchObject(std::move(session), ApplicationInterface) {
    addMember("GetNamespace", ResultKind::Object, [this](const Arguments& arguments, VARIANT& result) {
        std::wstring type;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) {
            outcome = arguments.text(0, type);
        }
        if (FAILED(outcome)) {
            return outcome;
        }
        if (CompareStringOrdinal(type.c_str(), -1, L"MAPI", -1, TRUE) != CSTR_EQUAL) {
            return E_INVALIDARG;  // Outlook has no other namespace
        }
        setObject(result, platform::makeComObject<NameSpace>(this->session()));
        return S_OK;
    });
    addMember("Version", ResultKind::Bstr, [this](const Arguments& arguments, VARIANT& result) {
        if (const HRESULT count = arguments.expectCount(0); FAILED(count)) {
            return count;
        }
        setText(result, this->session()->profile().version);
        return S_OK;
    });
}

}  // namespace outlook
