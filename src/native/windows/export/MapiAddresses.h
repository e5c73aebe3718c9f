#pragma once

#include "platform/com/WideString.h"
#include "platform/mapi/MapiDefinitions.h"

#include <vector>

namespace exporting {

// A contact's addresses as MAPI gives them, in both MAPI roads: the values
// of its e-mail named properties, each address with its type (in the order
// of outlook::emailNamedProperties) and, where asked for, followed by the
// three original entry ids (outlook::emailOriginalEntryIdProperties).
struct MapiAddress {
    com::WideString address;  // up to its first NUL; never empty
    bool isExchange = false;
    // The address book entry an Exchange address was taken from; null when
    // there is none (or it was not asked for). It points into the values.
    const mapi::SBinary* originalEntryId = nullptr;
};

struct MapiAddresses {
    std::vector<MapiAddress> addresses;
    // S_OK; or the error a value carries that MAPI could not give (any
    // error but "not found"), and then no addresses: the contact must be
    // read another way, not written as if it had none.
    HRESULT failure = S_OK;
};

// `count` values of the properties asked for. Only pairs whose address and
// type were both returned count; an address that is not there, or whose
// text is empty, gives no entry.
MapiAddresses readMapiAddresses(const mapi::SPropValue* values, ULONG count);

}  // namespace exporting
