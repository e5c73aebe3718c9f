#pragma once

#include "DispatchObject.h"

namespace outlook {

// Base of the contacts folder's items, contacts or not. A query of an item
// for _ContactItem is the operation "item.QueryInterface": turned away in a
// busy window as a call is, journaled, and failing as the profile's faults say (a "result": "null" fault refuses the
// interface: QueryInterface cannot succeed without an object). Otherwise
// only a contact answers it, _ContactItem being its own interface.
class FolderItem : public DispatchObject {
protected:
    using DispatchObject::DispatchObject;

    HRESULT queryOtherInterface(REFIID iid, void** object) override;
};

}  // namespace outlook
