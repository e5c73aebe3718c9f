#include "Arguments.h"

namespace standin::outlook {

Arguments::Arguments(const DISPPARAMS* invokeParameters, UINT* invokeArgumentError)
    : parameters(invokeParameters),
      argumentError(invokeArgumentError),
      passed(invokeParameters ? invokeParameters->cArgs : 0) {}

HRESULT Arguments::expectCount(size_t count) const { return passed == count ? S_OK : DISP_E_BADPARAMCOUNT; }

const VARIANT& Arguments::at(size_t index) const { return parameters->rgvarg[passed - 1 - index]; }

HRESULT Arguments::mismatch(size_t index) const {
    if (argumentError != nullptr) *argumentError = static_cast<UINT>(passed - 1 - index);
    return DISP_E_TYPEMISMATCH;
}

HRESULT Arguments::text(size_t index, std::wstring& value) const {
    const VARIANT& argument = at(index);
    if (argument.vt != VT_BSTR) return mismatch(index);
    value.assign(argument.bstrVal ? argument.bstrVal : L"", argument.bstrVal ? SysStringLen(argument.bstrVal) : 0);
    return S_OK;
}

HRESULT Arguments::integer(size_t index, LONG& value) const {
    const VARIANT& argument = at(index);
    if (argument.vt == VT_I4) {
        value = argument.lVal;
    } else if (argument.vt == VT_INT) {
        value = argument.intVal;
    } else {
        return mismatch(index);
    }
    return S_OK;
}

}  // namespace standin::outlook
