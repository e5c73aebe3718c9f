#include "CallAdmission.h"

#include "Journal.h"
#include "Session.h"

#include <mutex>

namespace standin::outlook::admission {

namespace {

struct State {
    std::mutex mutex;
    bool configured = false;
    std::vector<profile::BusyWindow> windows;  // `rejections` counts down
    std::optional<long long> goneAfter;
    bool goneAway = false;
    long long operations = 0;
};

State& state() {
    static State instance;
    return instance;
}

bool turnAway() {
    State& busy = state();
    {
        const std::lock_guard<std::mutex> lock(busy.mutex);
        profile::BusyWindow* open = nullptr;
        for (profile::BusyWindow& window : busy.windows) {
            if (busy.operations >= window.after && (!window.rejections || *window.rejections > 0)) {
                open = &window;
                break;
            }
        }
        if (open == nullptr) return false;
        if (open->rejections) --*open->rejections;
    }
    journal("rejected");
    return true;
}

// Whether Outlook has gone away; the first time, the journal says so.
bool hasGoneAway() {
    State& current = state();
    bool justGone = false;
    {
        const std::lock_guard<std::mutex> lock(current.mutex);
        if (!current.goneAway && current.goneAfter && current.operations >= *current.goneAfter) {
            current.goneAway = justGone = true;
        }
        if (!current.goneAway) return false;
    }
    if (justGone) journal("server gone");
    return true;
}

// As a crash or a quit ends Outlook: nothing released, nothing written.
[[noreturn]] void endServerProcess() {
    TerminateProcess(GetCurrentProcess(), 1);
    for (;;) Sleep(INFINITE);
}

}  // namespace

void configure(const std::vector<profile::BusyWindow>& windows, std::optional<long long> goneAfter) {
    State& current = state();
    const std::lock_guard<std::mutex> lock(current.mutex);
    if (!current.configured) {
        current.configured = true;
        current.windows = windows;
        current.goneAfter = goneAfter;
    }
}

void countOperation() {
    State& current = state();
    const std::lock_guard<std::mutex> lock(current.mutex);
    ++current.operations;
}

HRESULT objectCall() {
    const HRESULT refused = goneAwayCall();
    return FAILED(refused) ? refused : objectQuery();
}

HRESULT goneAwayCall() {
    if (!hasGoneAway()) return S_OK;
    if (servedOutOfProcess()) endServerProcess();
    journal("disconnected");
    return RPC_E_DISCONNECTED;
}

// The local server's calls are turned away by its message filter, as a COM
// server turns calls away; in process the objects do it.
HRESULT objectQuery() { return !servedOutOfProcess() && turnAway() ? RPC_E_CALL_REJECTED : S_OK; }

bool messageFilterTurnsAway(bool callsObjectMember) {
    if (hasGoneAway()) endServerProcess();
    return callsObjectMember && turnAway();
}

}  // namespace standin::outlook::admission
