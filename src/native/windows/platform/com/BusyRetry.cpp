#include "BusyRetry.h"

namespace com {

namespace {

class SystemRetryClock final : public RetryClock {
public:
    std::chrono::milliseconds now() override { return std::chrono::milliseconds(GetTickCount64()); }
    void sleep(std::chrono::milliseconds duration) override { Sleep(static_cast<DWORD>(duration.count())); }
};

// The exporter calls Outlook from one thread; a wait belongs to the thread
// that makes the call, as COM's message filter does.
thread_local const BusyWait* waitInProgress = nullptr;

// The clock of a test, while a UseRetryClock lives.
RetryClock* clockInUse = nullptr;

}  // namespace

std::optional<std::chrono::milliseconds> pauseBeforeRetry(std::chrono::milliseconds sinceFirstAttempt) noexcept {
    if (sinceFirstAttempt >= busyRetry::deadline) return std::nullopt;
    // The last pause ends at the deadline, so that one call waits at most one deadline.
    return std::min(busyRetry::pause, busyRetry::deadline - sinceFirstAttempt);
}

RetryClock& retryClock() noexcept {
    static SystemRetryClock systemClock;
    return clockInUse != nullptr ? *clockInUse : systemClock;
}

UseRetryClock::UseRetryClock(RetryClock& clock) noexcept : previous(clockInUse) { clockInUse = &clock; }

UseRetryClock::~UseRetryClock() { clockInUse = previous; }

BusyWait::BusyWait() noexcept
    : clock(retryClock()),
      // A wait inside another is one more round trip of the same call.
      began(waitInProgress != nullptr ? waitInProgress->began : clock.now()),
      outer(waitInProgress) {
    waitInProgress = this;
}

BusyWait::~BusyWait() { waitInProgress = outer; }

std::optional<std::chrono::milliseconds> BusyWait::nextPause() const { return pauseBeforeRetry(clock.now() - began); }

const BusyWait* BusyWait::current() noexcept { return waitInProgress; }

}  // namespace com
