// CSerialPort: the transport to the module's AT port and the home of every AT command.
//
// A port-opening command takes the COM number, opens the port, runs one request/answer cycle
// and closes the port on every path. An open-port command works on an object whose port is
// already open and leaves it open. Every byte string written or read goes to the traffic log.
#pragma once

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "atlink/answer_ledger.h"
#include "atlink/at_cycle.h"
#include "atlink/at_outcome.h"
#include "atlink/win_types.h"
#include "platform/serial_port.h"

class CSerialPort {
  public:
    static constexpr DWORD kReadLimit = 200;  // bytes taken by one read
    static constexpr std::size_t kDevicePathChars = 20;
    // Input discarded before a request is logged up to this many bytes (the driver's queue).
    static constexpr std::size_t kMaxDiscardLogged = 8192;

    CSerialPort() = default;
    // Destroying an object does not close its port: whoever opened it calls ClosePort.
    virtual ~CSerialPort() = default;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    BOOL OpenPort(int nPort);
    // FALSE only when the port is closed; a failed or short write still gives TRUE. Input that
    // is waiting before the request (a late answer to an earlier request, say) is discarded
    // first and logged as a "Recv: " line, so it can never pass for this request's answer.
    BOOL WriteData(const char* pData, int nLength);
    // Reads at most 200 bytes into pBuffer, which has room for one byte more. FALSE only when
    // the port is closed, the read cannot start or the device has gone away; a read without
    // data is TRUE with *pnRead 0.
    BOOL ReadData(char* pBuffer, DWORD* pnRead);
    void ClosePort();
    void WriteAtLog(const std::string& strText, BOOL bRecv);

    bool IsOpen() const { return m_hComm != platform::kInvalidSerialHandle; }

    // The record of answers owed per port that this object's transactions use: its own, or one
    // shared by every object that talks to the same module (nullptr: back to its own).
    void ShareLedger(atlink::AnswerLedger* ledger) { m_ledger = ledger != nullptr ? ledger : &m_ownLedger; }

    // Why the last OpenPort, standard cycle or SendAtCommand on this object ended as it did.
    const AtOutcomeReport& LastOutcome() const { return m_lastOutcome; }

    // Held for the whole of a transaction on this object, so that two threads running
    // open-port commands on the same object (or closing it meanwhile) never interleave.
    std::unique_lock<std::recursive_mutex> LockTransaction() {
        return std::unique_lock<std::recursive_mutex>(m_transaction);
    }

    // The standard cycle. The port-opening form opens nPort, exchanges and closes; the open-port
    // form exchanges on the open port. Both give true with this request's answer when its read
    // brought some of it (atlink/answer_match.h: the answer ends at its final result code, and
    // earlier requests' answers and lines of other commands are taken out), false on every
    // failure (port unusable, read failed, nothing of this request's answer).
    bool RunCycle(int nPort, const AtCycle& cycle, std::string* answer);
    bool RunCycle(const AtCycle& cycle, std::string* answer);

    // The standard cycle of a set command: TRUE exactly when the answer contains "OK".
    BOOL RunSetCycle(int nPort, const std::string& request);
    BOOL RunSetCycle(const std::string& request);

    // The free-form transaction of the AT console: writes strCmd + CR LF and polls up to 50
    // times, gathering the reads until they hold this request's final result code and that
    // line's end; returns this request's answer (matched as in RunCycle), or "" when its final
    // result code did not come.
    std::string SendAtCommand(int nPort, const std::string& strCmd);

    // Query commands (answer parsing in answer_parsers.h). The forms without nPort are the
    // open-port forms.
    int QueryDtuMode(int nPort);
    std::string QueryCimi(int nPort);
    std::string QueryDtuCfg(int nPort);
    std::string QueryDtuCfg();
    std::string QueryCnmp(int nPort);
    std::string QueryCnmp();
    std::string QueryAuth(int nPort);
    std::string QueryAuth();
    std::string QueryApn(int nPort);
    std::string QueryApn();
    std::string QueryGmr(int nPort);
    std::string QueryCsub(int nPort);
    std::string QueryVer(int nPort);
    BOOL QueryAdb(int nPort);
    // QueryDtuMode and QueryApn for callers that must tell a failed read (nullopt: no port, no
    // answer, an error, or no value in the answer) from the values 0 and empty.
    std::optional<int> QueryDtuModeValue(int nPort);
    std::optional<std::string> QueryApnValue(int nPort);
    std::optional<std::string> QueryApnValue();

    // Set commands: TRUE when the module answered "OK". An argument holding CR or LF would put
    // a second command on the line: such a call writes nothing and gives FALSE.
    BOOL SetDtuCfg(int nPort, const std::string& strArg);
    BOOL SetDtuCfg(const std::string& strArg);
    BOOL SetMultiSockCfg(int nPort, const std::string& strArg);
    BOOL SetMultiSockCfg(const std::string& strArg);
    BOOL SetModbusCfg(int nPort, const std::string& strArg);
    BOOL SetModbusCfg(const std::string& strArg);
    BOOL SetModbusCmd(int nPort, const std::string& strArg);
    BOOL SetModbusCmd(const std::string& strArg);
    BOOL SetDtuMode(int nPort, const std::string& strArg);
    BOOL SetDtuMode(const std::string& strArg);
    BOOL SetHost(int nPort, const std::string& strArg);
    BOOL SetHost(const std::string& strArg);
    BOOL SetMqttCfg(int nPort, const std::string& strArg);
    BOOL SetMqttCfg(const std::string& strArg);
    BOOL SetSubTopic(int nPort, const std::string& strArg);
    BOOL SetSubTopic(const std::string& strArg);
    BOOL SetPubTopic(int nPort, const std::string& strArg);
    BOOL SetPubTopic(const std::string& strArg);
    BOOL SetCnmp(int nPort, const std::string& strArg);
    BOOL SetCnmp(const std::string& strArg);
    BOOL SetApn(int nPort, const std::string& strApn);
    BOOL SetApn(const std::string& strApn);
    BOOL SetAuth(int nPort, const std::string& strArg);
    BOOL SetAuth(const std::string& strArg);
    BOOL ClearAuth(int nPort);
    BOOL ClearAuth();
    BOOL ResetModule(int nPort);
    BOOL ResetModule();
    BOOL EnableAdb(int nPort);
    BOOL HideAdb(int nPort);

  private:
    std::string QueryTextOn(const int* nPort, const AtCycle& cycle, std::string (*parse)(std::string_view));
    BOOL SetOn(const int* nPort, const std::optional<std::string>& request);
    bool DrainRead();
    bool RunDrainedCycle(int nPort, const AtCycle& cycle, std::string* answer);
    bool Exchange(const AtCycle& cycle, std::string* answer);

    platform::SerialHandle m_hComm = platform::kInvalidSerialHandle;
    int m_nPort = 0;  // the COM number of the last OpenPort
    atlink::AnswerLedger m_ownLedger;
    atlink::AnswerLedger* m_ledger = &m_ownLedger;
    std::FILE* m_pLogFile = nullptr;
    AtOutcomeReport m_lastOutcome;
    std::recursive_mutex m_transaction;
};
