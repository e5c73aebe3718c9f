#pragma once

#include <optional>
#include <vector>

namespace outlook {

// A stretch of the run in which the server turns calls away, as a busy
// Outlook does: once `after` operations have run, the next `rejections`
// calls (every call, when there is no count) are rejected before they run.
struct BusyWindow {
    long long after = 0;
    std::optional<long long> rejections;
};

// The busy windows of this process's profile. They are process-wide, as the
// call counts are: operations are counted from the start of the process,
// and the first profile read sets the windows.
namespace busy {

void configure(const std::vector<BusyWindow>& windows);

// One more operation has run (the operation lines of the journal).
void countOperation();

// Where calls are turned away: by the objects themselves, as an in-process
// server's calls fail, or by the local server's message filter, as a COM
// server turns calls away. The objects do it unless the filter is in place.
void turnAwayInMessageFilter();

// Whether the call about to run is turned away, by the object itself or by
// the message filter. A call turned away writes the journal line "rejected".
bool objectTurnsAway();
bool messageFilterTurnsAway();

}  // namespace busy

}  // namespace outlook
