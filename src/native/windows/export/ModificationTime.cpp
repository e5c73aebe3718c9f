#include "export/ModificationTime.h"

#include "platform/com/ComError.h"

#include <oleauto.h>

#include <cstdio>

namespace exporting {

std::string utcTimestamp(DATE localTime) {
    SYSTEMTIME local{};
    if (!VariantTimeToSystemTime(localTime, &local)) {
        com::throwComError(DISP_E_OVERFLOW, "_ContactItem.LastModificationTime is not a date");
    }
    TIME_ZONE_INFORMATION zone{};
    if (!GetTimeZoneInformationForYear(local.wYear, nullptr, &zone)) {
        com::throwComError(com::lastErrorAsHresult(), "GetTimeZoneInformationForYear");
    }
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
