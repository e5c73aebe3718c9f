#include "ErrorReporting.h"

#include <oleauto.h>

namespace outlook {

namespace {

constexpr const wchar_t* errorSource = L"Microsoft Outlook";

BSTR allocate(const Text& text) {
    return text ? SysAllocStringLen(text->data(), static_cast<UINT>(text->size())) : nullptr;
}

void setErrorInfo(const Fault& fault, const IID& interfaceId) {
    ICreateErrorInfo* creator = nullptr;
    if (FAILED(CreateErrorInfo(&creator))) {
        return;
    }
    creator->SetGUID(interfaceId);
    creator->SetSource(const_cast<LPOLESTR>(errorSource));
    BSTR description = allocate(fault.description);
    creator->SetDescription(description);
    SysFreeString(description);
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(creator->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    }
    creator->Release();
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

}  // namespace outlook
