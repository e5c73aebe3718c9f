#pragma once

#include "DispatchObject.h"

namespace outlook {

// An item that is not a contact (a distribution list, a note, ...). It has
// no members the exporter uses and answers E_NOINTERFACE for _ContactItem.
class OtherItem : public DispatchObject {
public:
    OtherItem(SessionPtr session, size_t item);

protected:
    bool answerQueryInterface(REFIID iid, void** object, HRESULT& answer) override;
};

}  // namespace outlook
