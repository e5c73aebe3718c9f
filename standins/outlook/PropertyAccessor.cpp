#include "PropertyAccessor.h"

#include "Results.h"

namespace standin::outlook {

namespace {
constexpr const wchar_t* smtpAddressSchema = L"http://schemas.microsoft.com/mapi/proptag/0x39FE001E";
constexpr HRESULT propertyNotFound = static_cast<HRESULT>(0x8004010FL);
}  // namespace

PropertyAccessor::PropertyAccessor(SessionPtr session, const profile::AddressBookEntry* entry)
    : DispatchObject(std::move(session), ::outlook::PropertyAccessorInterface) {
    addTextMethod("GetProperty", ResultKind::Bstr, [entry](const std::wstring& schema, VARIANT& result) {
        if (CompareStringOrdinal(schema.c_str(), static_cast<int>(schema.size()), smtpAddressSchema, -1, TRUE) !=
            CSTR_EQUAL) {
            return propertyNotFound;
        }
        if (entry == nullptr) return propertyNotFound;
        if (entry->smtpFailure) return *entry->smtpFailure;
        if (!entry->smtp) return propertyNotFound;
        setText(result, entry->smtp);
        return S_OK;
    });
}

}  // namespace standin::outlook
