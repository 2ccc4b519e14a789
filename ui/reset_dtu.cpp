#include "ui/reset_dtu.h"

#include "platform/clock.h"

namespace marlinq {

void CResetDtu::OnBtnResetDtu() {
    m_deps.addLog("Resetting...");
    m_deps.workers.StartWorker([this](fw::CWorkerThread& self) { ResetThreadProc(self); });
}

void CResetDtu::ResetThreadProc(fw::CWorkerThread& self) {
    if (m_deps.resetModule()) {
        if (!WaitForRestart(self)) {
            return;  // the window is closing: nothing more to do for it
        }
    }
    if (self.ShouldEnd()) {
        return;
    }
    m_deps.closeManualPort();
    m_deps.restartScan();
}

}  // namespace marlinq

namespace marlinq {

bool CResetDtu::WaitForRestart(fw::CWorkerThread& self) {
    const bool paced = m_deps.answerPaced && m_deps.answerPaced() && m_deps.portPresent && m_deps.answersAt;
    if (!paced) {
        return self.Wait(kResetWaitMs);
    }
    const auto deadline = platform::Clock::Now() + platform::Clock::Scaled(kResetWaitMs);
    bool gone = false;
    while (platform::Clock::Now() < deadline) {
        // The port the module answered on before the reset is still there until it restarts:
        // it must go first, or the probe would talk to the module on its way down.
        if (!gone) {
            gone = !m_deps.portPresent();
        } else if (m_deps.portPresent() && m_deps.answersAt()) {
            return !self.ShouldEnd();
        }
        if (!self.Wait(kRestartPollMs)) {
            return false;
        }
    }
    return true;
}

}  // namespace marlinq
