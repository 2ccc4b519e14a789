// AtClient: runs each AT command of the flows on the right port, with the port-choice rules of
// the main window's command wrappers, and runs the AT console.
//
// The rules, named by what they do:
//  - manual or found port: the hand-opened port while the automatic flag is 0 (open-port form, no
//    lookup, no message), else the AT port found now on a local object that opens and closes it;
//  - found port only: always the AT port found now;
//  - found port, three tries: the AT port found once, then up to three tries 3 s apart.
// When the lookup finds no port (a number below 1) the rule logs its message and returns the
// failure value (FALSE, 0 or the empty text). A failing command logs nothing here: the caller
// words its outcome.
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

#include "atlink/serial_port.h"
#include "atlink/win_types.h"

namespace atlink {

inline constexpr const char* kNoScanAtPort = "No scan AT port! ";
inline constexpr const char* kAtPortNotFound = "AT port not found! ";

struct AtClientDeps {
    CSerialPort& manualPort;            // the hand-opened port (m_serialPort)
    const std::atomic<BOOL>& autoPort;  // m_bAutoPort: 1 while no port is open by hand
    std::function<int()> findAtPort;    // FindAtPortNumber: the AT port's COM number, 0 for none
    std::function<void(const std::string&)> addLog;
};

// How the last command or console send of an AtClient ended: the port's outcome and whether the
// command gave its success value. No port found is NoSuchPort with port 0.
struct AtCommandRecord {
    AtOutcomeReport report;
    bool succeeded = false;
};

class AtClient {
  public:
    static constexpr int kAdbTries = 3;
    static constexpr std::uint32_t kAdbRetryPauseMs = 3000;

    explicit AtClient(AtClientDeps deps);
    ~AtClient();
    AtClient(const AtClient&) = delete;
    AtClient& operator=(const AtClient&) = delete;

    // Manual or found port, "No scan AT port! ".
    BOOL SetDtuCfg(const std::string& strArg);
    BOOL SetMultiSockCfg(const std::string& strArg);
    BOOL SetModbusCfg(const std::string& strArg);
    BOOL SetModbusCmd(const std::string& strArg);
    BOOL SetDtuMode(const std::string& strArg);
    BOOL SetHost(const std::string& strArg);
    BOOL SetMqttCfg(const std::string& strArg);
    BOOL SetSubTopic(const std::string& strArg);
    BOOL SetPubTopic(const std::string& strArg);
    BOOL SetCnmp(const std::string& strArg);
    BOOL SetAuth(const std::string& strArg);
    BOOL SetApn(const std::string& strArg);
    std::string QueryDtuCfg();
    std::string QueryCnmp();
    std::string QueryAuth();
    std::string QueryApn();
    // QueryApn that tells a failed read (nullopt) from an empty APN.
    std::optional<std::string> QueryApnValue();
    // Manual or found port, "AT port not found! ".
    BOOL ClearAuth();
    BOOL ResetModule();
    // Found port only, "No scan AT port! ".
    std::string QueryCimi();
    // Found port only, "AT port not found! ": 0 no AT port, 1 ADB off or not reported, 2 ADB on.
    int QueryAdb();
    // Found port, three tries, "AT port not found! ".
    BOOL EnableAdb();
    BOOL HideAdb();

    // The AT console: logs the command as typed, sends it to the AT port found now (never the
    // hand-opened one) and logs a non-empty answer unchanged.
    void SendConsoleCommand(const std::string& command);

    // The last command or console send that ran through this client; any thread.
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

    // The rules themselves, for a command that has no method above.
    BOOL ManualOrFoundPort(const char* notFound, const std::function<BOOL(CSerialPort& open)>& openForm,
                           const std::function<BOOL(CSerialPort& local, int port)>& portForm);
    std::string ManualOrFoundPort(const char* notFound,
                                  const std::function<std::string(CSerialPort& open)>& openForm,
                                  const std::function<std::string(CSerialPort& local, int port)>& portForm);
    // The port found now, or 0 after logging notFound.
    int FoundPortOnly(const char* notFound);
    BOOL FoundPortThreeTries(const char* notFound,
                             const std::function<BOOL(CSerialPort& local, int port)>& command);

  private:
    template <class R>
    R ViaManualOrFound(const char* notFound, R failure, const std::function<R(CSerialPort&)>& openForm,
                       const std::function<R(CSerialPort&, int)>& portForm);

    void Record(const AtOutcomeReport& report, bool succeeded);

    AtClientDeps m_deps;
    AnswerLedger m_ledger;
    mutable std::mutex m_recordMutex;
    AtCommandRecord m_last;
    AtOutcomeReport m_firstPortFailure;
    int m_lastFoundPort = 0;
};

}  // namespace atlink
