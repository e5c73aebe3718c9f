#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace exporting {

// A contact's last change as a caller can compare it across machines and
// seasons: Outlook gives LastModificationTime as a VT_DATE in Windows' local
// time, which becomes UTC by Windows' own rules for that date (the time
// zone's rules of that year, daylight saving included), written
// YYYY-MM-DDTHH:MM:SSZ. A local time that does not exist (in the hour that
// clocks skip when they go forward) and one that exists twice (in the hour
// repeated when they go back) are both read as daylight saving time, as
// Windows reads them: in Rome, 02:30 on the day clocks go forward is 00:30Z,
// and 02:30 on the day they go back is 00:30Z, the first of the two.
// Raises the COM error when the date cannot be converted.
std::string utcTimestamp(DATE localTime);

}  // namespace exporting
