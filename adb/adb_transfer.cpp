#include "adb/adb_transfer.h"

#include <filesystem>

#include "adb/adb_commands.h"
#include "adb/adb_output.h"
#include "adb/command_runner.h"
#include "platform/clock.h"

namespace adb {

namespace {

constexpr std::uint32_t kRetryListMs = 2000;
constexpr std::uint32_t kBeforePushMs = 800;
constexpr std::uint32_t kBeforeHideMs = 3000;
constexpr std::uint32_t kBeforeRebootMs = 300;
constexpr std::uint32_t kBeforeScanMs = 3000;
constexpr std::uint32_t kPushWorkerDelayMs = 5000;
constexpr std::uint32_t kAfterFailedRunMs = 3000;
constexpr std::uint32_t kAfterEnableMs = 1000;
constexpr std::uint32_t kResetWaitMs = 20000;
constexpr int kPushRuns = 3;

}  // namespace

AdbTransfer::AdbTransfer(IAdbHost& host) : m_host(host) {}

AdbTransfer::~AdbTransfer() {
    CancelCommands();
}

void AdbTransfer::SetXmlPath(const std::string& path) {
    // adb runs in its own folder: a relative name is made absolute against the current directory
    // of the caller now, so that it names the file the caller meant and never reads as an option.
    std::error_code ec;
    const std::filesystem::path absolute =
        path.empty() ? std::filesystem::path() : std::filesystem::absolute(path, ec);
    std::lock_guard lock(m_mutex);
    m_strXmlPath = ec ? path : absolute.string();
}

std::string AdbTransfer::XmlPath() const {
    std::lock_guard lock(m_mutex);
    return m_strXmlPath;
}

void AdbTransfer::StartAdbTransfer() {
    switch (m_host.AtQueryAdb()) {
        case AdbState::On:
            if (m_host.PendingPush() != 0) {
                m_host.SetPendingPush(0);
                StartPushWorker();
            }
            break;
        case AdbState::Off: {
            auto worker = m_host.StartWorker([this](fw::CWorkerThread& self) { EnableAdbThreadProc(self); });
            std::lock_guard lock(m_mutex);
            m_hEnableAdbThread = worker;
            break;
        }
        case AdbState::NoAtPort:
            break;  // the request stays pending for the next ready scan
    }
}

void AdbTransfer::OnAdbPushXml() {
    m_host.AddLog("Push XML file to cache ...");
    platform::Clock::Pause(kPushWorkerDelayMs);
    StartPushWorker();
}

void AdbTransfer::StartPushWorker() {
    m_host.StartPushWorker([this](fw::CWorkerThread& self) { PushThreadProc(self); });
}

void AdbTransfer::Say(const fw::CWorkerThread& self, const std::string& text) {
    if (!self.ShouldEnd()) {
        m_host.AddLog(text);
    }
}

void AdbTransfer::EnableAdbThreadProc(fw::CWorkerThread& self) {
    m_bModuleReset = 0;
    if (m_host.AtEnableAdb()) {
        Say(self, "Enable ADB successfully!");
        if (!self.Wait(kAfterEnableMs)) {
            return;
        }
        Say(self, "The module is resetting. Please wait...");
        if (m_host.AtResetModule()) {
            m_bModuleReset = 1;
            if (!self.Wait(kResetWaitMs)) {
                return;
            }
        }
    } else {
        m_host.SetPendingPush(0);
        Say(self, "Enable ADB failed, check that the module is ready or the AT port is occupied!");
    }
    if (!self.ShouldEnd()) {
        m_host.OnBtnScanPort();
    }
}

std::shared_ptr<platform::ChildCancel> AdbTransfer::NewCancel() {
    auto cancel = std::make_shared<platform::ChildCancel>();
    std::lock_guard lock(m_mutex);
    if (m_cancelAll) {
        cancel->Cancel();
    }
    m_cancels.insert(cancel);
    return cancel;
}

void AdbTransfer::DropCancel(const std::shared_ptr<platform::ChildCancel>& cancel) {
    std::lock_guard lock(m_mutex);
    m_cancels.erase(cancel);
}

void AdbTransfer::CancelCommands() {
    std::set<std::shared_ptr<platform::ChildCancel>> cancels;
    {
        std::lock_guard lock(m_mutex);
        m_cancelAll = true;
        cancels = m_cancels;
    }
    for (const auto& cancel : cancels) {
        cancel->Cancel();
    }
}

void AdbTransfer::PushThreadProc(fw::CWorkerThread& self) {
    // The abort of the ADB time-out ends the adb child this worker waits for. The hook holds the
    // cancel itself, so it stays valid however late the abort runs it.
    const auto cancel = NewCancel();
    self.SetAbortHook([cancel] { cancel->Cancel(); });
    const auto ended = [&self, &cancel] { return self.ShouldEnd() || cancel->Cancelled(); };
    bool completed = false;
    for (int run = 1; run <= kPushRuns && !ended(); ++run) {
        if (AdbPushXml(self, *cancel) == PushRun::Completed) {
            completed = true;
            break;
        }
        if (!self.Wait(kAfterFailedRunMs)) {
            break;
        }
    }
    // A completed run has logged the push step's own outcome; a closing "successfully" there would
    // report a failed push as a success. Only three runs without a device get a closing line.
    if (!completed && !ended()) {
        m_host.AddLog("ADB PUSH XML failed!");
    }
    self.SetAbortHook(nullptr);
    DropCancel(cancel);
}

std::string AdbTransfer::RunTimed(fw::CWorkerThread& self, const platform::ChildCommand& command,
                                  platform::ChildCancel& cancel) {
    m_host.ArmAdbTimeout();
    std::string output = RunCommandLine(command, &cancel, m_host);
    if (!self.IsAborted()) {
        m_host.DisarmAdbTimeout();  // once aborted, the time-out has killed the timer itself
    }
    return output;
}

PushRun AdbTransfer::AdbPushXml(fw::CWorkerThread& self, platform::ChildCancel& cancel) {
    const AdbCommands commands = BuildAdbCommands(m_host.AppDirectory(), XmlPath());
    // Aborted by the time-out, asked to stop, or its commands cancelled at shutdown.
    const auto ended = [&self, &cancel] { return self.ShouldEnd() || cancel.Cancelled(); };
    const LogFn log = [this, &ended](const std::string& text) {
        if (!ended()) {
            m_host.AddLog(text);
        }
    };

    log("Enumerating ADB equipments...");
    AdbOutcome listed =
        ParseAdbOutput(RunTimed(self, commands.devices, cancel), AdbOutputKind::ListDevices, log);
    if (ended()) {
        return PushRun::NotCompleted;
    }
    if (listed != AdbOutcome::DeviceListed) {
        if (!self.Wait(kRetryListMs) || ended()) {
            return PushRun::NotCompleted;
        }
        listed = ParseAdbOutput(RunTimed(self, commands.devices, cancel), AdbOutputKind::ListDevices, log);
        if (ended()) {
            return PushRun::NotCompleted;
        }
        if (listed != AdbOutcome::DeviceListed) {
            log("Enumerate ADB equipments failed, please retry later!");
            return PushRun::NotCompleted;
        }
    }
    if (!self.Wait(kBeforePushMs) || ended()) {
        return PushRun::NotCompleted;
    }

    m_host.ArmAdbTimeout();
    log("ADB PUSH XML...");
    std::string output = RunCommandLine(commands.push, &cancel, m_host);
    if (ended()) {
        return PushRun::NotCompleted;
    }
    m_host.DisarmAdbTimeout();
    const bool pushed = ParseAdbOutput(output, AdbOutputKind::Transfer, log) == AdbOutcome::TransferDone;
    m_lastPushOutcome = pushed ? PushOutcome::Pushed : PushOutcome::Failed;
    log(pushed ? "ADB PUSH XML successfully!" : "ADB PUSH XML failed!");

    if (m_bModuleReset != 0) {
        log("Hide ADB...");
        if (!self.Wait(kBeforeHideMs) || ended()) {
            return PushRun::NotCompleted;
        }
        const bool hidden = m_host.AtHideAdb() != 0;
        log(hidden ? "Hide ADB successfully!" : "Hide ADB failed!");
    }
    if (!self.Wait(kBeforeRebootMs) || ended()) {
        return PushRun::NotCompleted;
    }
    log("ADB reboot...");
    RunCommandLine(commands.reboot, &cancel, m_host);  // neither timed nor classified
    if (!self.Wait(kBeforeScanMs) || ended()) {
        return PushRun::NotCompleted;
    }
    m_host.OnBtnScanPort();
    return PushRun::Completed;
}

}  // namespace adb
