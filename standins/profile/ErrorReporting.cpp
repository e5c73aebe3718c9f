#include "ErrorReporting.h"

#include "com/ComRef.h"

#include <oleauto.h>

namespace standin::profile {

namespace {

constexpr const wchar_t* errorSource = L"Microsoft Outlook";

BSTR allocate(const Text& text) {
    return text ? SysAllocStringLen(text->data(), static_cast<UINT>(text->size())) : nullptr;
}

void setErrorInfo(const Fault& fault, const IID& interfaceId) {
    com::ComRef<ICreateErrorInfo> creator;
    if (FAILED(CreateErrorInfo(creator.put()))) return;
    creator->SetGUID(interfaceId);
    creator->SetSource(const_cast<LPOLESTR>(errorSource));
    BSTR description = allocate(fault.description);
    creator->SetDescription(description);
    SysFreeString(description);
    com::ComRef<IErrorInfo> info;
    if (SUCCEEDED(creator.query(IID_IErrorInfo, info))) SetErrorInfo(0, info.get());
}

}  // namespace

HRESULT reportFault(const Fault& fault, const IID& interfaceId, EXCEPINFO* excepInfo) {
    if (fault.viaExcepInfo && excepInfo != nullptr) {
        SetErrorInfo(0, nullptr);
        *excepInfo = EXCEPINFO{};
        excepInfo->bstrSource = SysAllocString(errorSource);
        excepInfo->bstrDescription = allocate(fault.description);
        excepInfo->scode = fault.hresult;
        return DISP_E_EXCEPTION;
    }
    if (fault.description) {
        setErrorInfo(fault, interfaceId);
    } else {
        SetErrorInfo(0, nullptr);
    }
    return fault.hresult;
}

}  // namespace standin::profile
