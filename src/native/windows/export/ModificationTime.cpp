#include "export/ModificationTime.h"

#include "platform/com/ComError.h"

#include <oleauto.h>

#include <cstdio>
#include <map>

namespace exporting {

namespace {

// The time zone's rules for a year, read once a year for the run: contacts
// changed in the same year share them, and reading them is not cheap.
const TIME_ZONE_INFORMATION& rulesOfYear(WORD year) {
    static std::map<WORD, TIME_ZONE_INFORMATION> years;
    const auto known = years.find(year);
    if (known != years.end()) return known->second;
    TIME_ZONE_INFORMATION zone{};
    if (!GetTimeZoneInformationForYear(year, nullptr, &zone)) {
        com::throwComError(com::lastErrorAsHresult(), "GetTimeZoneInformationForYear");
    }
    return years.emplace(year, zone).first->second;
}

}  // namespace

std::string utcTimestamp(DATE localTime) {
    SYSTEMTIME local{};
    if (!VariantTimeToSystemTime(localTime, &local)) {
        com::throwComError(DISP_E_OVERFLOW, "_ContactItem.LastModificationTime is not a date");
    }
    TIME_ZONE_INFORMATION zone = rulesOfYear(local.wYear);
    SYSTEMTIME utc{};
    if (!TzSpecificLocalTimeToSystemTime(&zone, &local, &utc)) {
        com::throwComError(com::lastErrorAsHresult(), "TzSpecificLocalTimeToSystemTime");
    }
    char text[24];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                  utc.wMinute, utc.wSecond);
    return text;
}

}  // namespace exporting
