// CResetDtu: the Reset DTU button. Its worker resets the module, waits 20 s for it to restart,
// gives the hand-opened port up and restarts the scan; closing the window ends the wait at once.
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
};

class CResetDtu {
  public:
    static constexpr std::uint32_t kResetWaitMs = 20000;

    explicit CResetDtu(ResetDtuDeps deps) : m_deps(std::move(deps)) {}

    // Logs "Resetting..." and starts the worker (none once the window is shutting down).
    void OnBtnResetDtu();

  private:
    void ResetThreadProc(fw::CWorkerThread& self);

    ResetDtuDeps m_deps;
};

}  // namespace marlinq
