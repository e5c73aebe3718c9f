#include "Results.h"

#include <oleauto.h>

namespace standin::outlook {

void setObject(VARIANT& result, com::ComRef<IDispatch> object) {
    result.vt = VT_DISPATCH;
    result.pdispVal = object.detach();
}

void setUnknown(VARIANT& result, com::ComRef<IUnknown> object) {
    result.vt = VT_UNKNOWN;
    result.punkVal = object.detach();
}

void setText(VARIANT& result, const profile::Text& text) {
    result.vt = VT_BSTR;
    result.bstrVal = text ? SysAllocStringLen(text->data(), static_cast<UINT>(text->size())) : nullptr;
}

void setLong(VARIANT& result, LONG value) {
    result.vt = VT_I4;
    result.lVal = value;
}

void setDate(VARIANT& result, const SYSTEMTIME& localTime) {
    result.vt = VT_DATE;
    SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&localTime), &result.date);
}

void setBool(VARIANT& result, bool value) {
    result.vt = VT_BOOL;
    result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace standin::outlook
