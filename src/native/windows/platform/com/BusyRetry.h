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
namespace com {

namespace busyRetry {
constexpr std::chrono::milliseconds pause{200};
constexpr std::chrono::milliseconds deadline{60000};
// COM retries at once, without waiting, when the message filter answers a
// pause shorter than this: the filter never answers one.
constexpr std::chrono::milliseconds shortestFilterPause{100};
}  // namespace busyRetry

// Whether a call's result says that the server turned it away unrun.
constexpr bool isBusyRejection(HRESULT result) noexcept {
    return result == RPC_E_CALL_REJECTED || result == RPC_E_SERVERCALL_RETRYLATER;
}

// Whether a call's result says that it never ran in a working Outlook:
// Outlook turned it away (and kept doing so past the deadline), or Outlook
// has gone away (quit or crashed: the proxy is disconnected, the server
// unavailable). Such a failure says nothing of the data asked for.
constexpr bool callNeverRan(HRESULT result) noexcept {
    return isBusyRejection(result) || result == RPC_E_DISCONNECTED || result == RPC_E_SERVER_DIED ||
           result == RPC_E_SERVER_DIED_DNE || result == CO_E_OBJNOTCONNECTED ||
           result == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) || result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) ||
           result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE);
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

// The clock of the waits: the system's, unless a UseRetryClock lives.
RetryClock& retryClock() noexcept;

// Has every wait use `clock` while this lives, so that a test of the waits,
// or of the calls above them, never sleeps on the real clock. The one seam
// for a test's time.
class UseRetryClock {
public:
    explicit UseRetryClock(RetryClock& clock) noexcept;
    ~UseRetryClock();
    UseRetryClock(const UseRetryClock&) = delete;
    UseRetryClock& operator=(const UseRetryClock&) = delete;

private:
    RetryClock* const previous;
};

// One call's wait for a busy Outlook. A call can take several round trips
// (the member's DISPID, the call itself, the error information of its
// failure) and each can be turned away; they share one deadline, counted
// from the moment the wait begins, so that a call never waits more than one
// deadline in all. A wait begun while another lives on the thread is a
// round trip of the same call and keeps its deadline. While a wait lives,
// the message filter answers COM's questions about retrying from it too.
class BusyWait {
public:
    BusyWait() noexcept;
    ~BusyWait();
    BusyWait(const BusyWait&) = delete;
    BusyWait& operator=(const BusyWait&) = delete;

    // Makes the attempt (a callable returning an HRESULT), and makes it
    // again after a pause while Outlook turns it away, within the deadline.
    // Returns the last result.
    template <typename Attempt>
    HRESULT retry(Attempt&& attempt) {
        for (;;) {
            const HRESULT result = attempt();
            if (!isBusyRejection(result)) return result;
            const std::optional<std::chrono::milliseconds> pause = nextPause();
            if (!pause) return result;
            clock.sleep(*pause);
        }
    }

    // The pause before the next attempt, or nothing once the deadline has passed.
    std::optional<std::chrono::milliseconds> nextPause() const;

    // The wait in progress on this thread, if any: the innermost one.
    static const BusyWait* current() noexcept;

private:
    RetryClock& clock;
    const std::chrono::milliseconds began;
    const BusyWait* const outer;
};

// One call of its own: retry(attempt) on a new wait.
template <typename Attempt>
HRESULT retryWhileBusy(Attempt&& attempt) {
    BusyWait wait;
    return wait.retry(attempt);
}

}  // namespace com
