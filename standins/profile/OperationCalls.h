#pragma once

#include <string>

namespace standin::profile {

// Journals a call of an operation and returns its 1-based number among the
// calls of that operation in this module, which the profile's faults go by.
// Counts live for the whole process, as a run counts calls.
int journalCall(const std::string& operation);

}  // namespace standin::profile
