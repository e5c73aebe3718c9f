#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <optional>

// Outlook turns calls away while it is busy: starting (often because this
// program started it), loading a profile, synchronising, or while a modal
// dialog is open. A call that it turned away has not run, so it is safe to
// make again; it is made again after a short pause, until a deadline
// measured from its first attempt has passed. This is the one policy for
// it, applied at every call into Outlook and by the message filter.
namespace platform {

namespace busyRetry {
constexpr std::chrono::milliseconds pause{200};
constexpr std::chrono::milliseconds deadline{60000};
}  // namespace busyRetry

// Whether a call's result says that the server turned it away unrun.
constexpr bool isBusyRejection(HRESULT result) noexcept {
    return result == RPC_E_CALL_REJECTED || result == RPC_E_SERVERCALL_RETRYLATER;
}

// The pause before the next attempt of a call turned away, or nothing once
// the deadline has passed since its first attempt.
std::optional<std::chrono::milliseconds> pauseBeforeRetry(std::chrono::milliseconds sinceFirstAttempt) noexcept;

// Time as the retry sees it. The system's clock, or a test's.
class RetryClock {
public:
    virtual std::chrono::milliseconds now() = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;

protected:
    ~RetryClock() = default;
};

RetryClock& systemRetryClock() noexcept;

// Makes the call (a callable returning an HRESULT) and makes it again while
// Outlook turns it away as busy, within the deadline. Returns the last result.
template <typename Call>
HRESULT retryWhileBusy(Call&& call, RetryClock& clock = systemRetryClock()) {
    const std::chrono::milliseconds firstAttempt = clock.now();
    for (;;) {
        const HRESULT result = call();
        if (!isBusyRejection(result)) return result;
        const std::optional<std::chrono::milliseconds> pause = pauseBeforeRetry(clock.now() - firstAttempt);
        if (!pause) return result;
        clock.sleep(*pause);
    }
}

}  // namespace platform
