#pragma once

// An Exchange address looked up by name through Outlook's address book, as
// the exporter looks up one that no original entry id leads to: the
// recipient, its entry, the entry's address and, when that is the address
// looked up, its SMTP address.

#include "BaselineDispatch.h"
#include "BaselineMembers.h"

#include <cwchar>

namespace baseline {

class ExchangeByName {
public:
    ExchangeByName(IDispatch* nameSpace, Members& members) : nameSpace_(nameSpace), members_(members) {}

    void lookUp(const wchar_t* address) {
        TextArgument name(address);
        Ref<IDispatch> recipient;
        callForObject(nameSpace_, members_.createRecipient, name.get(), recipient);
        Variant resolved;
        invoke(recipient.get(), members_.resolve, DISPATCH_METHOD, nullptr, resolved);
        if (resolved.value.vt != VT_BOOL || resolved.value.boolVal == VARIANT_FALSE) return;
        Ref<IDispatch> entry;
        getObject(recipient.get(), members_.addressEntry, entry);
        Variant entryAddress;
        get(entry.get(), members_.address, entryAddress);
        // An entry that gives back another address is not this one.
        if (entryAddress.value.vt != VT_BSTR || entryAddress.value.bstrVal == nullptr ||
            std::wcscmp(entryAddress.value.bstrVal, address) != 0)
            return;
        Ref<IDispatch> accessor;
        getObject(entry.get(), members_.propertyAccessor, accessor);
        TextArgument smtpSchema(L"http://schemas.microsoft.com/mapi/proptag/0x39FE001E");
        Variant smtp;
        invoke(accessor.get(), members_.getProperty, DISPATCH_METHOD, smtpSchema.get(), smtp);
    }

private:
    IDispatch* nameSpace_;
    Members& members_;
};

}  // namespace baseline
