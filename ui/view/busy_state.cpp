#include "ui/view/busy_state.h"

namespace marlinq::view {

void CBusyState::Busy(bool busy) {
    m_busy = busy;
    if (busy) {
        if (!m_shown && !m_delayRunning) {
            m_delayRunning = true;
            m_actions.startDelay();
        }
        return;
    }
    if (m_delayRunning) {
        m_delayRunning = false;
        m_actions.stopDelay();
    }
    if (m_shown) {
        m_shown = false;
        m_actions.show(false);
    }
}

void CBusyState::DelayElapsed() {
    m_delayRunning = false;
    if (m_busy && !m_shown) {
        m_shown = true;
        m_actions.show(true);
    }
}

}  // namespace marlinq::view
