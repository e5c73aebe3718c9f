#pragma once

#include "MapiDelivery.h"
#include "Profile.h"
#include "mapi/MapiDefinitions.h"

#include <windows.h>

namespace standin::mapiprops {

// A contact's answers to MAPI, the same for its MAPIOBJECT in Outlook's
// process and for the message a MAPI session of the client's own opens: the
// six e-mail members and the three addresses' original entry ids as
// PSETID_Address named properties. `fault` is the call's planned fault (or
// null); `errorInterface` names the interface in the error information.
TagsAnswer answerGetIDsFromNames(const profile::Fault* fault, const IID& errorInterface, ULONG nameCount,
                                 mapi::MAPINAMEID** names);
ValuesAnswer answerGetProps(const profile::Fault* fault, const IID& errorInterface, const profile::Contact& contact,
                            const mapi::SPropTagArray* propTags);

// What a planned fault makes of a call that gives values: its failure, or,
// for "result": "null", success without values.
ValuesAnswer faultedValues(const profile::Fault& fault, const IID& errorInterface);

}  // namespace standin::mapiprops
