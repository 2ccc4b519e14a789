// AtClient: runs each AT command of the flows on the right port, with the port rule of its row
// in the command table (atlink/at_commands.h), and runs the AT console.
//
// The rules, named by what they do:
//  - manual or found port: the hand-opened port while the automatic flag is 0 (open-port form, no
//    lookup, no message), else the AT port found now on a local object that opens and closes it;
//  - found port only: always the AT port found now;
//  - found port, three tries: the AT port found once, then up to three tries 3 s apart.
// A session pinned to one COM number (ModuleSession::PinPort) overrides every rule: each command,
// the console's included, runs on the pinned port's object, which is opened at the first command
// and held open, so no other program can take the port between two commands. A port that went
// away during a command is closed, and the next command opens it again.
// When the lookup finds no port (a number below 1) the rule logs the row's message and the
// command fails with its failure value (FALSE, 0 or the empty text). A failing command logs
// nothing here: the caller words its outcome.
//
// The client's pacing (atlink/at_pacing.h) applies to every object its commands run on: the
// hand-opened port, the pinned port and the local objects of the found port. Fixed until set.
//
// Every method may run on any thread: the window thread for buttons, workers for the reset and
// ADB flows. The hand-opened port is used under its transaction lock, so closing it by hand never
// falls inside a command.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "atlink/at_commands.h"
#include "atlink/at_serial_port.h"
#include "atlink/win_types.h"
#include "platform/clock.h"

namespace atlink {

struct AtClientDeps {
    CSerialPort& manualPort;            // the hand-opened port (m_serialPort)
    const std::atomic<BOOL>& autoPort;  // m_bAutoPort: 1 while no port is open by hand
    std::function<int()> findAtPort;    // FindAtPortNumber: the AT port's COM number, 0 for none
    std::function<void(const std::string&)> addLog;
    // The session's pinned port and its COM number (0: not pinned); none for a client without one.
    CSerialPort* pinnedPort = nullptr;
    std::function<int()> pinnedCom = {};
};

// How the last command or console send of an AtClient ended: the port's outcome and whether the
// command gave its success value. No port found is NoSuchPort with port 0.
struct AtCommandRecord {
    AtOutcomeReport report;
    bool succeeded = false;
    std::string answer;  // the console's send: the answer as it came (empty for other commands)
};

class AtClient {
  public:
    static constexpr int kAdbTries = 3;
    static constexpr std::uint32_t kAdbRetryPauseMs = 3000;

    explicit AtClient(AtClientDeps deps);
    ~AtClient();
    AtClient(const AtClient&) = delete;
    AtClient& operator=(const AtClient&) = delete;

    // A row of the command table on the port its rule picks, with its argument (ignored by a
    // row without one).
    template <class T>
    AtResult<T> Run(const AtCommand<T>& command, std::string_view argument = {});

    // The rows by their names.
    BOOL SetDtuCfg(const std::string& strArg) { return Run(kSetDtuCfg, strArg).value; }
    BOOL SetMultiSockCfg(const std::string& strArg) { return Run(kSetMultiSockCfg, strArg).value; }
    BOOL SetModbusCfg(const std::string& strArg) { return Run(kSetModbusCfg, strArg).value; }
    BOOL SetModbusCmd(const std::string& strArg) { return Run(kSetModbusCmd, strArg).value; }
    BOOL SetDtuMode(const std::string& strArg) { return Run(kSetDtuMode, strArg).value; }
    BOOL SetHost(const std::string& strArg) { return Run(kSetHost, strArg).value; }
    BOOL SetMqttCfg(const std::string& strArg) { return Run(kSetMqttCfg, strArg).value; }
    BOOL SetSubTopic(const std::string& strArg) { return Run(kSetSubTopic, strArg).value; }
    BOOL SetPubTopic(const std::string& strArg) { return Run(kSetPubTopic, strArg).value; }
    BOOL SetCnmp(const std::string& strArg) { return Run(kSetCnmp, strArg).value; }
    BOOL SetAuth(const std::string& strArg) { return Run(kSetAuth, strArg).value; }
    BOOL SetApn(const std::string& strArg) { return Run(kSetApn, strArg).value; }
    std::string QueryDtuCfg() { return Run(kQueryDtuCfg).value; }
    std::string QueryCnmp() { return Run(kQueryCnmp).value; }
    std::string QueryAuth() { return Run(kQueryAuth).value; }
    std::string QueryApn() { return Run(kQueryApn).value; }
    // QueryApn that tells a failed read (nullopt) from an empty APN.
    std::optional<std::string> QueryApnValue() { return Run(kQueryApnValue).value; }
    BOOL ClearAuth() { return Run(kClearAuth).value; }
    BOOL ResetModule() { return Run(kResetModule).value; }
    std::string QueryCimi() { return Run(kQueryCimi).value; }
    // 0 no AT port, 1 ADB off or not reported, 2 ADB on.
    int QueryAdb();
    BOOL EnableAdb() { return Run(kEnableAdb).value; }
    BOOL HideAdb() { return Run(kHideAdb).value; }

    // "AT" answered with "OK" on the AT port (the pinned one, which stays held).
    bool ProbeAt() { return Run(kProbeAt).succeeded; }

    // A row of the scan's version read on COM port, with the caller's own object local (opened
    // and closed around it) whatever port is held open by hand, unrecorded; on the pinned port
    // when the session is pinned.
    template <class T>
    AtResult<T> RunOnFoundPort(CSerialPort& local, int port, const AtCommand<T>& command);

    // How this client's commands are paced; any thread, takes effect at the next command.
    void SetPacing(Pacing pacing);
    Pacing GetPacing() const { return m_pacing.load(); }

    // The COM number the session is pinned to; 0 when it is not.
    int PinnedCom() const {
        return m_deps.pinnedCom && m_deps.pinnedPort != nullptr ? m_deps.pinnedCom() : 0;
    }

    // The AT console: logs the command as typed, sends it to the AT port found now (never the
    // hand-opened one) and logs a non-empty answer unchanged.
    void SendConsoleCommand(const std::string& command);

    // The last command or console send that ran through this client; any thread. The console's
    // caller reads it, as the console gives nothing back.
    AtCommandRecord LastCommand() const;

    // The first failure of the port itself (busy, could not be opened, gone during a transaction
    // or from the lookup) among the commands that ran through this client since BeginTally;
    // outcome Answered when there was none. A port that the lookup no longer finds is reported
    // as NoSuchPort with the number the lookup found last. Any thread.
    void BeginTally();
    AtOutcomeReport FirstPortFailure() const;

    // What every object of this client's commands records of answers owed per port, so that a
    // late answer to one command is never taken for the next one's (atlink/answer_ledger.h).
    AnswerLedger& Ledger() { return m_ledger; }

    // The port found now, or 0 after logging notFound.
    int FoundPortOnly(const char* notFound);

  private:
    // The hand-opened port, locked, while no port is automatic; an unlocked lock otherwise.
    std::unique_lock<std::recursive_mutex> ManualPortInUse();
    // A row on the pinned port com, opened first when it is not open.
    template <class T>
    AtResult<T> RunPinned(const AtCommand<T>& command, std::string_view argument, int com);
    // The pinned port, opened on com when it is closed; the failure when it cannot be.
    std::optional<AtOutcomeReport> HoldPinned(int com);
    // After a command on the pinned port: a port that went away is let go.
    void ReleaseIfLost(const AtOutcomeReport& report);
    // What a command gives when the lookup found no port.
    template <class T>
    static AtResult<T> NoPortFound() {
        return AtResult<T>{T{}, AtOutcomeReport{AtOutcome::NoSuchPort, 0, 0}, false};
    }
    template <class T>
    AtResult<T> Recorded(AtResult<T> result) {
        Record(result.report, result.succeeded);
        return result;
    }
    void Record(const AtOutcomeReport& report, bool succeeded);

    AtClientDeps m_deps;
    AnswerLedger m_ledger;
    mutable std::mutex m_recordMutex;
    AtCommandRecord m_last;
    AtOutcomeReport m_firstPortFailure;
    int m_lastFoundPort = 0;
    std::atomic<Pacing> m_pacing{Pacing::Fixed};
};

template <class T>
AtResult<T> AtClient::Run(const AtCommand<T>& command, std::string_view argument) {
    const bool pinned = PinnedCom() > 0;
    if (command.portRule == PortRule::ManualOrFound && !pinned) {
        // Held across the check and the command, so that closing the port by hand (which takes
        // the same lock) cannot fall between them.
        if (auto lock = ManualPortInUse()) {
            return Recorded(m_deps.manualPort.RunOpen(command, argument));
        }
    }
    const int port = FoundPortOnly(command.notFound);  // looked up once, also for three tries
    if (port < 1) {
        return NoPortFound<T>();
    }
    CSerialPort local;
    local.ShareLedger(&m_ledger);
    local.SetPacing(GetPacing());
    const int tries = command.portRule == PortRule::FoundThreeTries ? kAdbTries : 1;
    AtResult<T> result;
    for (int attempt = 1; attempt <= tries; ++attempt) {
        result = pinned ? RunPinned(command, argument, port) : Recorded(local.Run(command, port, argument));
        if (result.succeeded || attempt == tries) {
            break;
        }
        platform::Clock::Pause(kAdbRetryPauseMs);
    }
    return result;
}

template <class T>
AtResult<T> AtClient::RunPinned(const AtCommand<T>& command, std::string_view argument, int com) {
    // Held across the open and the command, so that two threads never interleave on the port.
    auto lock = m_deps.pinnedPort->LockTransaction();
    if (const auto failed = HoldPinned(com)) {
        return Recorded(AtResult<T>{T{}, *failed, false});
    }
    AtResult<T> result = Recorded(m_deps.pinnedPort->RunOpen(command, argument));
    ReleaseIfLost(result.report);
    return result;
}

template <class T>
AtResult<T> AtClient::RunOnFoundPort(CSerialPort& local, int port, const AtCommand<T>& command) {
    const int pinned = PinnedCom();
    local.SetPacing(GetPacing());
    return pinned > 0 ? RunPinned(command, {}, pinned) : local.Run(command, port);
}

}  // namespace atlink
