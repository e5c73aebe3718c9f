#include "platform/BusyRetry.h"

namespace platform {

namespace {

class SystemRetryClock final : public RetryClock {
public:
    std::chrono::milliseconds now() override { return std::chrono::milliseconds(GetTickCount64()); }
    void sleep(std::chrono::milliseconds duration) override { Sleep(static_cast<DWORD>(duration.count())); }
};

}  // namespace

std::optional<std::chrono::milliseconds> pauseBeforeRetry(std::chrono::milliseconds sinceFirstAttempt) noexcept {
    if (sinceFirstAttempt >= busyRetry::deadline) return std::nullopt;
    // The last pause ends at the deadline, so that one call waits at most one deadline.
    return std::min(busyRetry::pause, busyRetry::deadline - sinceFirstAttempt);
}

RetryClock& systemRetryClock() noexcept {
    static SystemRetryClock clock;
    return clock;
}

}  // namespace platform
