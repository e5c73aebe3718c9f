#include "export/MapiObjectRoad.h"

#include "export/MapiAddresses.h"
#include "export/RoadReports.h"
#include "platform/com/BusyRetry.h"
#include "platform/com/ComError.h"
#include "platform/com/RemoteQuery.h"
#include "platform/mapi/MapiCalls.h"
#include "platform/outlook/OutlookDefinitions.h"

#include <iterator>

namespace exporting {

namespace {

constexpr ULONG nameCount = std::size(outlook::emailNamedProperties);
constexpr char query[] = "QueryInterface IMAPIProp on MAPIOBJECT";

// What the query for IMAPIProp said of the object. Only a real "no such
// interface" (no proxy for it in this process) closes the road; a query
// that never ran in a working Outlook says nothing and ends the walk, as a
// failed call does, and so does any other failure.
bool givesNoMapiProp(HRESULT result) {
    if (result == E_NOINTERFACE || result == REGDB_E_IIDNOTREG) return true;
    if (FAILED(result)) com::throwComError(result, query);
    return false;
}

// A MAPI call that never reached a working Outlook (gone, or busy past the
// deadline) ends the walk; MAPI's own failure leaves the contact unread.
bool answered(HRESULT result, const char* operation) {
    if (com::callNeverRan(result)) com::throwComError(result, operation);
    return SUCCEEDED(result);
}

}  // namespace

RoadAnswer MapiObjectRoad::write(CurrentContact& contact, JsonList& addresses) {
    const com::ComRef<IUnknown> mapiObject = contact.item().mapiObject();
    com::ComRef<mapi::IMAPIProp> properties;
    const HRESULT queried = com::queryRemote(mapiObject, mapi::IID_IMAPIProp, properties);
    if (!mapiObject || givesNoMapiProp(queried) || !properties) {
        roadReports::mapiObjectUnusable(mapiObject ? (FAILED(queried) ? queried : E_NOINTERFACE) : S_OK);
        return RoadAnswer::closed;
    }

    GUID propertySet = mapi::PSETID_Address;
    mapi::MAPINAMEID names[nameCount];
    mapi::MAPINAMEID* namePointers[nameCount];
    for (ULONG at = 0; at < nameCount; ++at) {
        names[at] = {&propertySet, mapi::MNID_ID, {outlook::emailNamedProperties[at].longId}};
        namePointers[at] = &names[at];
    }

    const mapi::FreeBuffer release{freeBuffer};
    mapi::Buffer<mapi::SPropTagArray> tags(nullptr, release);
    const HRESULT named = mapi::getIDsFromNames(*properties.get(), nameCount, namePointers, tags);
    if (!answered(named, "IMAPIProp.GetIDsFromNames") || !tags) {
        roadReports::contactNotRead(contact, FAILED(named) ? named : E_UNEXPECTED, "IMAPIProp.GetIDsFromNames");
        return RoadAnswer::contactNotRead;
    }
    ULONG valueCount = 0;
    mapi::Buffer<mapi::SPropValue> values(nullptr, release);
    const HRESULT read = mapi::getProps(*properties.get(), tags.get(), valueCount, values);
    if (!answered(read, "IMAPIProp.GetProps") || !values) {
        roadReports::contactNotRead(contact, FAILED(read) ? read : E_UNEXPECTED, "IMAPIProp.GetProps");
        return RoadAnswer::contactNotRead;
    }
    const MapiAddresses found = readMapiAddresses(values.get(), valueCount);
    if (FAILED(found.failure)) {
        roadReports::contactNotRead(contact, found.failure, "IMAPIProp.GetProps");
        return RoadAnswer::contactNotRead;
    }

    // The comma goes out before an Exchange address is resolved: a failure
    // there leaves the output ending in it.
    for (const MapiAddress& each : found.addresses) {
        addresses.addString([&] { return addressToWrite(resolver, each.address, each.isExchange); });
    }
    return RoadAnswer::written;
}

}  // namespace exporting
