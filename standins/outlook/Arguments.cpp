#include "Arguments.h"

namespace standin::outlook {

Arguments::Arguments(const DISPPARAMS* parameters, UINT* argumentError)
    : parameters_(parameters), argumentError_(argumentError), count_(parameters ? parameters->cArgs : 0) {}

HRESULT Arguments::expectCount(size_t count) const { return count_ == count ? S_OK : DISP_E_BADPARAMCOUNT; }

const VARIANT& Arguments::at(size_t index) const { return parameters_->rgvarg[count_ - 1 - index]; }

HRESULT Arguments::mismatch(size_t index) const {
    if (argumentError_ != nullptr) {
        *argumentError_ = static_cast<UINT>(count_ - 1 - index);
    }
    return DISP_E_TYPEMISMATCH;
}

HRESULT Arguments::text(size_t index, std::wstring& value) const {
    const VARIANT& argument = at(index);
    if (argument.vt != VT_BSTR) {
        return mismatch(index);
    }
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
