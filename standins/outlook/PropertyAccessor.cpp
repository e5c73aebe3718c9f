#include "PropertyAccessor.h"

#include "Results.h"

namespace outlook {

namespace {
constexpr const wchar_t* smtpAddressSchema = L"http://schemas.microsoft.com/mapi/proptag/0x39FE001E";
constexpr HRESULT propertyNotFound = static_cast<HRESULT>(0x8004010FL);
}  // namespace

PropertyAccessor::PropertyAccessor(SessionPtr session, const AddressBookEntry* entry)
    : DispatchObject(std::move(session), PropertyAccessorInterface) {
    addMember("GetProperty", ResultKind::Bstr, [entry](const Arguments& arguments, VARIANT& result) {
        std::wstring schema;
        HRESULT outcome = arguments.expectCount(1);
        if (SUCCEEDED(outcome)) {
            outcome = arguments.text(0, schema);
        }
        if (FAILED(outcome)) {
            return outcome;
        }
        if (CompareStringOrdinal(schema.c_str(), static_cast<int>(schema.size()), smtpAddressSchema, -1, TRUE) !=
            CSTR_EQUAL) {
            return propertyNotFound;
        }
        if (entry == nullptr) {
            return propertyNotFound;
        }
        if (entry->smtpFailure) {
            return *entry->smtpFailure;
        }
        if (!entry->smtp) {
            return propertyNotFound;
        }
        setText(result, entry->smtp);
        return S_OK;
    });
}

}  // namespace outlook
