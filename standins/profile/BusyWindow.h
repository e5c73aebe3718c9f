#pragma once

#include <optional>

namespace standin::profile {

// A stretch of the run in which the server turns calls away, as a busy
// Outlook does: once `after` operations have run, the next `rejections`
// calls (every call, when there is no count) are rejected before they run.
struct BusyWindow {
    long long after = 0;
    std::optional<long long> rejections;
};

}  // namespace standin::profile
