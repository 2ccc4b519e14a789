#include "atlink/at_serial_port.h"

#include "atlink/answer_match.h"

namespace atlink {

AtOutcomeReport CSerialPort::Open(int nPort) {
    return AtOutcomeReport{m_port.Open(nPort), nPort, 0};
}

BOOL CSerialPort::WriteData(const char* pData, int nLength) {
    std::string stale;
    const bool written = m_port.Write(pData, nLength > 0 ? static_cast<std::size_t>(nLength) : 0, &stale);
    if (!stale.empty()) {
        m_ledger->Paid(m_port.Port(), CountFinalResults(stale));
    }
    return written ? TRUE : FALSE;
}

BOOL CSerialPort::ReadData(char* pBuffer, DWORD* pnRead) {
    std::size_t count = 0;
    const bool ok = m_port.Read(pBuffer, &count);
    *pnRead = static_cast<DWORD>(count);
    return ok ? TRUE : FALSE;
}

AtResult<std::string> CSerialPort::Transact(const int* nPort, AtExchange exchange,
                                            const std::optional<AtCycle>& cycle) {
    auto lock = LockTransaction();
    if (!cycle) {
        // Refused before anything reaches the port.
        return AtResult<std::string>{std::string(), AtOutcomeReport{AtOutcome::Answered, m_port.Port(), 0},
                                     false};
    }
    AtCycle paced = *cycle;
    paced.pacing = m_pacing.load();
    if (nPort == nullptr) {
        return ExchangeRow(Line(), exchange, paced);
    }
    const AtOutcomeReport opened = Open(*nPort);
    if (opened.outcome != AtOutcome::Answered) {
        ClosePort();  // releases what a half-finished open may hold
        return AtResult<std::string>{std::string(), opened, false};
    }
    AtResult<std::string> result = ExchangeRow(Line(), exchange, paced);
    ClosePort();
    return result;
}

AtResult<std::string> CSerialPort::Send(int nPort, const std::string& text) {
    auto lock = LockTransaction();
    const AtOutcomeReport opened = Open(nPort);
    if (opened.outcome != AtOutcome::Answered) {
        ClosePort();
        return AtResult<std::string>{std::string(), opened, false};
    }
    AtResult<std::string> result = ExchangeConsole(Line(), text, m_pacing.load());
    ClosePort();
    return result;
}

AtResult<std::string> CSerialPort::SendOpen(const std::string& text) {
    auto lock = LockTransaction();
    return ExchangeConsole(Line(), text, m_pacing.load());
}

bool CSerialPort::RunCycle(int nPort, const AtCycle& cycle, std::string* answer) {
    AtResult<std::string> result = Transact(&nPort, AtExchange::Single, cycle);
    *answer = std::move(result.value);
    return result.succeeded;
}

bool CSerialPort::RunCycle(const AtCycle& cycle, std::string* answer) {
    AtResult<std::string> result = Transact(nullptr, AtExchange::Single, cycle);
    *answer = std::move(result.value);
    return result.succeeded;
}

BOOL CSerialPort::RunSetCycle(int nPort, const std::string& request) {
    std::string answer;
    return RunCycle(nPort, AtCycle{request}, &answer) && ParseSetAnswer(answer) ? TRUE : FALSE;
}

BOOL CSerialPort::RunSetCycle(const std::string& request) {
    std::string answer;
    return RunCycle(AtCycle{request}, &answer) && ParseSetAnswer(answer) ? TRUE : FALSE;
}

}  // namespace atlink
