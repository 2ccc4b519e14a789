#include "atlink/serial_port.h"

#include <cstring>

#include "atlink/answer_match.h"
#include "atlink/at_log.h"

namespace {

AtOutcome OutcomeOf(platform::SerialOpenError error) {
    switch (error) {
        case platform::SerialOpenError::Busy:
            return AtOutcome::Busy;
        case platform::SerialOpenError::Missing:
            return AtOutcome::NoSuchPort;
        default:
            return AtOutcome::CannotOpen;
    }
}

}  // namespace

BOOL CSerialPort::OpenPort(int nPort) {
    m_lastOutcome = AtOutcomeReport{AtOutcome::NoSuchPort, nPort, 0};
    m_nPort = nPort;
    // The COM number is kept within the 20-character device path of the Windows form "\\.\COM%d".
    if (nPort <= 0 || nPort > 99999) {
        return FALSE;
    }
    platform::SerialOpenError error = platform::SerialOpenError::None;
    std::string note;
    m_hComm = platform::SerialOpen(nPort, &error, &note);
    if (!note.empty()) {
        atlink::AppendAtLogNote(atlink::AtLogDirectory() + atlink::kAtLogFileName,
                                "COM" + std::to_string(nPort) + ": " + note);
    }
    if (m_hComm == platform::kInvalidSerialHandle) {
        m_lastOutcome.outcome = OutcomeOf(error);
        return FALSE;
    }
    if (!platform::SerialConfigure(m_hComm)) {
        m_lastOutcome.outcome = AtOutcome::CannotOpen;
        return FALSE;
    }
    m_lastOutcome.outcome = AtOutcome::Answered;
    return TRUE;
}

BOOL CSerialPort::WriteData(const char* pData, int nLength) {
    if (m_hComm == platform::kInvalidSerialHandle) {
        return FALSE;
    }
    std::string stale;
    platform::SerialDiscardInput(m_hComm, &stale, kMaxDiscardLogged);
    // The log holds texts; a NUL among the discarded bytes would end the line early.
    std::erase(stale, '\0');
    if (!stale.empty()) {
        WriteAtLog(stale, TRUE);
        // Answers that came while nobody listened are not waited for any more.
        m_ledger->Paid(m_nPort, atlink::CountFinalResults(stale));
    }
    WriteAtLog(pData != nullptr ? std::string(pData) : std::string(), FALSE);
    if (pData != nullptr && nLength > 0) {
        platform::SerialWrite(m_hComm, pData, static_cast<std::size_t>(nLength));
    }
    return TRUE;
}

BOOL CSerialPort::ReadData(char* pBuffer, DWORD* pnRead) {
    *pnRead = 0;
    if (m_hComm == platform::kInvalidSerialHandle) {
        return FALSE;
    }
    std::size_t count = 0;
    const bool ok = platform::SerialRead(m_hComm, pBuffer, kReadLimit, &count);
    *pnRead = static_cast<DWORD>(count);
    // Logged as text up to its first NUL; the count bounds it even if the caller forgot to zero.
    WriteAtLog(std::string(pBuffer, strnlen(pBuffer, count)), TRUE);
    return ok ? TRUE : FALSE;
}

void CSerialPort::ClosePort() {
    if (m_hComm != platform::kInvalidSerialHandle) {
        platform::SerialClose(m_hComm);
        m_hComm = platform::kInvalidSerialHandle;
    }
}

void CSerialPort::WriteAtLog(const std::string& strText, BOOL bRecv) {
    atlink::AppendAtLogLine(atlink::AtLogDirectory() + atlink::kAtLogFileName, strText, bRecv != FALSE,
                            &m_pLogFile);
}
