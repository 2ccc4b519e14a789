// When a view shows that the window thread is busy: only once a handler has run for a while, so
// that the many short ones do not make the window flicker, and until the thread waits again.
#pragma once

#include <functional>

namespace marlinq::view {

class CBusyState {
  public:
    // What the view does: start or stop its one-shot timer of kDelayMs, and show or hide the busy
    // state (status text, cursor, refusing parameter input).
    struct Actions {
        std::function<void()> startDelay;
        std::function<void()> stopDelay;
        std::function<void(bool)> show;
    };
    static constexpr int kDelayMs = 150;

    explicit CBusyState(Actions actions) : m_actions(std::move(actions)) {}

    // The window thread began (true) or finished (false) handling messages.
    void Busy(bool busy);
    // The view's timer ran out.
    void DelayElapsed();
    bool Shown() const { return m_shown; }

  private:
    Actions m_actions;
    bool m_busy = false;
    bool m_delayRunning = false;
    bool m_shown = false;
};

}  // namespace marlinq::view
