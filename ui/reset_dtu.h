// CResetDtu: the Reset DTU button. Its worker resets the module, waits for it to restart, gives
// the hand-opened port up and restarts the scan; closing the window ends the wait at once.
//
// The wait: 20 s under fixed pacing. Under answer pacing it ends once the AT port has gone and
// come back and answers "AT" with "OK", looked at every kRestartPollMs; 20 s stays its ceiling,
// after which the worker goes on as after the fixed wait.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/worker_registry.h"

namespace marlinq {

struct ResetDtuDeps {
    fw::CWorkerRegistry& workers;
    std::function<void(const std::string&)> addLog;
    std::function<bool()> resetModule;      // AT+CRESET on the module's port; true when it was sent
    std::function<void()> closeManualPort;  // back to the automatic AT port
    std::function<void()> restartScan;      // the Scan button
    // Answer pacing's wait (none: the fixed wait): whether the session paces by the answer,
    // whether its AT port is present now, and whether it answers "AT" with "OK".
    std::function<bool()> answerPaced = {};
    std::function<bool()> portPresent = {};
    std::function<bool()> answersAt = {};
};

class CResetDtu {
  public:
    static constexpr std::uint32_t kResetWaitMs = 20000;
    static constexpr std::uint32_t kRestartPollMs = 50;

    explicit CResetDtu(ResetDtuDeps deps) : m_deps(std::move(deps)) {}

    // Logs "Resetting..." and starts the worker (none once the window is shutting down).
    void OnBtnResetDtu();

  private:
    void ResetThreadProc(fw::CWorkerThread& self);
    // The wait for the module's restart; false when the window is closing.
    bool WaitForRestart(fw::CWorkerThread& self);

    ResetDtuDeps m_deps;
};

}  // namespace marlinq
