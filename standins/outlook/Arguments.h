#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace standin::outlook {

// The positional arguments of an IDispatch::Invoke call, in call order
// (DISPPARAMS holds them last first). Accessors check the VARIANT type the
// member takes and record the offending argument for puArgErr.
class Arguments {
public:
    Arguments(const DISPPARAMS* invokeParameters, UINT* invokeArgumentError);

    size_t size() const { return passed; }

    // DISP_E_BADPARAMCOUNT unless exactly `count` arguments were passed.
    HRESULT expectCount(size_t count) const;

    // VT_BSTR; a null BSTR reads as empty text.
    HRESULT text(size_t index, std::wstring& value) const;
    // VT_I4 or VT_INT.
    HRESULT integer(size_t index, LONG& value) const;

private:
    const VARIANT& at(size_t index) const;
    HRESULT mismatch(size_t index) const;

    const DISPPARAMS* parameters;
    UINT* argumentError;
    size_t passed;
};

}  // namespace standin::outlook
