#pragma once

#include <utility>

namespace com {

// An undo step that runs once, when this goes: at the end of a scope, or
// with the object that holds it, so that a member declared after another is
// undone before it. Moved, the step goes with it; a default one has nothing
// to undo. `Undo` is a callable that carries what undoing needs and is
// default-constructible: MAPI's end, a message filter to restore, an
// apartment to leave.
template <typename Undo>
class ScopeExit {
public:
    ScopeExit() noexcept = default;
    explicit ScopeExit(Undo step) noexcept : undo(std::move(step)), armed(true) {}
    ScopeExit(ScopeExit&& other) noexcept : undo(std::move(other.undo)), armed(std::exchange(other.armed, false)) {}
    ScopeExit& operator=(ScopeExit&& other) noexcept {
        if (this != &other) {
            run();
            undo = std::move(other.undo);
            armed = std::exchange(other.armed, false);
        }
        return *this;
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { run(); }

    // Whether there is a step to undo.
    explicit operator bool() const noexcept { return armed; }

private:
    void run() noexcept {
        if (std::exchange(armed, false)) undo();
    }

    Undo undo{};
    bool armed = false;
};

}  // namespace com
