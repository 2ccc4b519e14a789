// CSerialPort: one holder of the module's AT port, which runs the rows of the AT command table
// (atlink/at_commands.h) on it.
//
// A port-opening form takes the COM number, opens the port, runs the exchange and closes the port
// on every path. An open-port form works on an object whose port is already open (OpenPort) and
// leaves it open. The port closes at the latest when the object goes away. Every command gives
// its value with its outcome (Run); the named methods are the same runs for callers that want
// only the value.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "atlink/answer_ledger.h"
#include "atlink/at_commands.h"
#include "atlink/at_cycle.h"
#include "atlink/at_exchange.h"
#include "atlink/at_outcome.h"
#include "atlink/at_pacing.h"
#include "atlink/at_transport.h"
#include "atlink/win_types.h"

namespace atlink {

class CSerialPort {
  public:
    static constexpr std::size_t kReadLimit = AtTransport::kReadLimit;  // bytes taken by one read

    CSerialPort() = default;
    virtual ~CSerialPort() = default;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens COM nPort and tells how that went (Answered: open).
    AtOutcomeReport Open(int nPort);
    BOOL OpenPort(int nPort) { return Open(nPort).outcome == AtOutcome::Answered; }
    // FALSE only when the port is closed; a failed or short write still gives TRUE. Input that
    // is waiting before the request is discarded first and logged as a "Recv: " line, so it can
    // never pass for this request's answer.
    BOOL WriteData(const char* pData, int nLength);
    // Reads at most 200 bytes into pBuffer, which has room for one byte more. FALSE only when
    // the port is closed, the read cannot start or the device has gone away; a read without
    // data is TRUE with *pnRead 0.
    BOOL ReadData(char* pBuffer, DWORD* pnRead);
    void ClosePort() { m_port.Close(); }
    bool IsOpen() const { return m_port.IsOpen(); }

    // The record of answers owed per port that this object's exchanges use: its own, or one
    // shared by every object that talks to the same module (nullptr: back to its own).
    void ShareLedger(AnswerLedger* ledger) { m_ledger = ledger != nullptr ? ledger : &m_ownLedger; }

    // How this object's transactions are paced (atlink/at_pacing.h); Fixed until set. Any thread.
    void SetPacing(Pacing pacing) { m_pacing = pacing; }
    Pacing GetPacing() const { return m_pacing.load(); }

    // Held for the whole of a transaction on this object, so that two threads running
    // open-port commands on the same object (or closing it meanwhile) never interleave.
    std::unique_lock<std::recursive_mutex> LockTransaction() {
        return std::unique_lock<std::recursive_mutex>(m_transaction);
    }

    // A row of the command table with its argument (ignored by a row without one): on COM nPort,
    // opened and closed around it, or on the open port. A request the row refuses (an argument
    // holding CR or LF) reaches no port and fails.
    template <class T>
    AtResult<T> Run(const AtCommand<T>& command, int nPort, std::string_view argument = {});
    template <class T>
    AtResult<T> RunOpen(const AtCommand<T>& command, std::string_view argument = {});

    // The free-form exchange of the AT console on COM nPort (atlink/at_exchange.h).
    AtResult<std::string> Send(int nPort, const std::string& text);
    // The same exchange on the open port, which stays open.
    AtResult<std::string> SendOpen(const std::string& text);
    std::string SendAtCommand(int nPort, const std::string& strCmd) { return Send(nPort, strCmd).value; }

    // The standard cycle for a request of no row (paced as this object is): true with this request's answer
    // when the read brought some of it.
    bool RunCycle(int nPort, const AtCycle& cycle, std::string* answer);
    bool RunCycle(const AtCycle& cycle, std::string* answer);
    // The standard cycle of a set command: TRUE exactly when the answer contains "OK".
    BOOL RunSetCycle(int nPort, const std::string& request);
    BOOL RunSetCycle(const std::string& request);

    // The rows by their names.
    int QueryDtuMode(int nPort) { return Run(kQueryDtuMode, nPort).value; }
    std::optional<int> QueryDtuModeValue(int nPort) { return Run(kQueryDtuModeValue, nPort).value; }
    std::string QueryCimi(int nPort) { return Run(kQueryCimi, nPort).value; }
    std::string QueryDtuCfg(int nPort) { return Run(kQueryDtuCfg, nPort).value; }
    std::string QueryDtuCfg() { return RunOpen(kQueryDtuCfg).value; }
    std::string QueryCnmp(int nPort) { return Run(kQueryCnmp, nPort).value; }
    std::string QueryCnmp() { return RunOpen(kQueryCnmp).value; }
    std::string QueryAuth(int nPort) { return Run(kQueryAuth, nPort).value; }
    std::string QueryAuth() { return RunOpen(kQueryAuth).value; }
    std::string QueryApn(int nPort) { return Run(kQueryApn, nPort).value; }
    std::string QueryApn() { return RunOpen(kQueryApn).value; }
    std::string QueryGmr(int nPort) { return Run(kQueryGmr, nPort).value; }
    std::string QueryCsub(int nPort) { return Run(kQueryCsub, nPort).value; }
    std::string QueryVer(int nPort) { return Run(kQueryVer, nPort).value; }
    BOOL QueryAdb(int nPort) { return Run(kQueryAdb, nPort).value; }
    BOOL SetDtuCfg(int nPort, const std::string& strArg) { return Run(kSetDtuCfg, nPort, strArg).value; }
    BOOL SetMultiSockCfg(int nPort, const std::string& strArg) {
        return Run(kSetMultiSockCfg, nPort, strArg).value;
    }
    BOOL SetModbusCfg(int nPort, const std::string& strArg) {
        return Run(kSetModbusCfg, nPort, strArg).value;
    }
    BOOL SetModbusCmd(int nPort, const std::string& strArg) {
        return Run(kSetModbusCmd, nPort, strArg).value;
    }
    BOOL SetDtuMode(int nPort, const std::string& strArg) { return Run(kSetDtuMode, nPort, strArg).value; }
    BOOL SetHost(int nPort, const std::string& strArg) { return Run(kSetHost, nPort, strArg).value; }
    BOOL SetMqttCfg(int nPort, const std::string& strArg) { return Run(kSetMqttCfg, nPort, strArg).value; }
    BOOL SetSubTopic(int nPort, const std::string& strArg) { return Run(kSetSubTopic, nPort, strArg).value; }
    BOOL SetPubTopic(int nPort, const std::string& strArg) { return Run(kSetPubTopic, nPort, strArg).value; }
    BOOL SetCnmp(int nPort, const std::string& strArg) { return Run(kSetCnmp, nPort, strArg).value; }
    BOOL SetCnmp(const std::string& strArg) { return RunOpen(kSetCnmp, strArg).value; }
    BOOL SetApn(int nPort, const std::string& strApn) { return Run(kSetApn, nPort, strApn).value; }
    BOOL SetApn(const std::string& strApn) { return RunOpen(kSetApn, strApn).value; }
    BOOL SetAuth(int nPort, const std::string& strArg) { return Run(kSetAuth, nPort, strArg).value; }
    BOOL SetAuth(const std::string& strArg) { return RunOpen(kSetAuth, strArg).value; }
    BOOL ClearAuth(int nPort) { return Run(kClearAuth, nPort).value; }
    BOOL ClearAuth() { return RunOpen(kClearAuth).value; }
    BOOL ResetModule(int nPort) { return Run(kResetModule, nPort).value; }
    BOOL EnableAdb(int nPort) { return Run(kEnableAdb, nPort).value; }
    BOOL HideAdb(int nPort) { return Run(kHideAdb, nPort).value; }

  private:
    // The exchange of a row on COM nPort (opened and closed around it) or, for nullptr, on the
    // open port; fails without touching a port when request is nullopt.
    AtResult<std::string> Transact(const int* nPort, AtExchange exchange,
                                   const std::optional<AtCycle>& cycle);
    AtLine Line() { return AtLine{m_port, *m_ledger}; }

    template <class T>
    AtResult<T> Finish(const AtCommand<T>& command, AtResult<std::string> exchanged) {
        AtResult<T> out{T{}, exchanged.report, false};
        if (exchanged.succeeded) {
            out.value = command.parse(exchanged.value);
        }
        out.succeeded = PassesSuccess(command.success, out.value);
        return out;
    }
    template <class T>
    std::optional<AtCycle> CycleFor(const AtCommand<T>& command, std::string_view argument) {
        std::optional<std::string> request = RequestFor(command, argument);
        if (!request) {
            return std::nullopt;
        }
        return AtCycle{std::move(*request), command.pauseBeforeMs, command.pauseAfterMs, command.answerArea,
                       Pacing::Fixed,       command.settleMs,      command.valueInAnswer};
    }

    AtTransport m_port;
    AnswerLedger m_ownLedger;
    AnswerLedger* m_ledger = &m_ownLedger;
    std::recursive_mutex m_transaction;
    std::atomic<Pacing> m_pacing{Pacing::Fixed};
};

template <class T>
AtResult<T> CSerialPort::Run(const AtCommand<T>& command, int nPort, std::string_view argument) {
    return Finish(command, Transact(&nPort, command.exchange, CycleFor(command, argument)));
}

template <class T>
AtResult<T> CSerialPort::RunOpen(const AtCommand<T>& command, std::string_view argument) {
    return Finish(command, Transact(nullptr, command.exchange, CycleFor(command, argument)));
}

}  // namespace atlink
