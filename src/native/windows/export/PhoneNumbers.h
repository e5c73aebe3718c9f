#pragma once

#include "export/ContactRecord.h"
#include "platform/outlook/OutlookObjectModel.h"

namespace exporting {

// The contact's telephone numbers, one entry for each of the ten types that
// holds a number, in a fixed order: business, business2, businessFax, home,
// home2, homeFax, company, other, primary, mobile.
void writePhones(const outlook::ContactItem& contact, JsonList& phones);

}  // namespace exporting
