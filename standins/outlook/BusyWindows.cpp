#include "BusyWindows.h"

#include <atomic>
#include <mutex>

#include "Journal.h"

namespace outlook::busy {

namespace {

struct State {
    std::mutex mutex;
    bool configured = false;
    std::vector<BusyWindow> windows;  // `rejections` counts down
    long long operations = 0;
};

State& state() {
    static State instance;
    return instance;
}

std::atomic<bool> inMessageFilter{false};

bool turnAway() {
    State& busy = state();
    {
        const std::lock_guard<std::mutex> lock(busy.mutex);
        BusyWindow* open = nullptr;
        for (BusyWindow& window : busy.windows) {
            if (busy.operations >= window.after && (!window.rejections || *window.rejections > 0)) {
                open = &window;
                break;
            }
        }
        if (open == nullptr) {
            return false;
        }
        if (open->rejections) {
            --*open->rejections;
        }
    }
    standin::journal("rejected");
    return true;
}

}  // namespace

void configure(const std::vector<BusyWindow>& windows) {
    State& busy = state();
    const std::lock_guard<std::mutex> lock(busy.mutex);
    if (!busy.configured) {
        busy.configured = true;
        busy.windows = windows;
    }
}

void countOperation() {
    State& busy = state();
    const std::lock_guard<std::mutex> lock(busy.mutex);
    ++busy.operations;
}

void turnAwayInMessageFilter() { inMessageFilter = true; }

bool objectTurnsAway() { return !inMessageFilter && turnAway(); }

bool messageFilterTurnsAway() { return inMessageFilter && turnAway(); }

}  // namespace outlook::busy
