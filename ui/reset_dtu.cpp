#include "ui/reset_dtu.h"

namespace marlinq {

void CResetDtu::OnBtnResetDtu() {
    m_deps.addLog("Resetting...");
    m_deps.workers.StartWorker([this](fw::CWorkerThread& self) { ResetThreadProc(self); });
}

void CResetDtu::ResetThreadProc(fw::CWorkerThread& self) {
    if (m_deps.resetModule()) {
        if (!self.Wait(kResetWaitMs)) {
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
