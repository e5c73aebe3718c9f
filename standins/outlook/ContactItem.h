#pragma once

#include "DispatchObject.h"

namespace outlook {

// A contact: the profile's item at index `item` (0-based).
class ContactItem : public DispatchObject {
public:
    ContactItem(SessionPtr session, size_t item);

protected:
    bool answerQueryInterface(REFIID iid, void** object, HRESULT& answer) override;
};

}  // namespace outlook
