#pragma once

#include "DispatchObject.h"

namespace standin::outlook {

// Base of the contacts folder's items, contacts or not. A query of an item
// for _ContactItem is the operation "item.QueryInterface": turned away in a
// busy window as a call is, journaled, and failing as the profile's faults
// say (a "result": "null" fault refuses the interface: QueryInterface cannot
// succeed without an object). Otherwise only a contact answers it,
// _ContactItem being its own interface. Every item answers Class, its
// OlObjectClass number, as the one operation "item.Class".
class FolderItem : public DispatchObject {
protected:
    // The profile's item at `item` (0-based, in the whole folder).
    FolderItem(SessionPtr session, const ::outlook::OutlookInterface& outlookInterface, size_t item);

    HRESULT queryOtherInterface(REFIID iid, void** object) override;
};

}  // namespace standin::outlook
