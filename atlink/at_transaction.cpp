// The standard cycle and the free-form console transaction of CSerialPort.
#include <algorithm>
#include <vector>

#include "atlink/answer_match.h"
#include "atlink/answer_text.h"
#include "atlink/serial_port.h"
#include "platform/clock.h"

namespace {

constexpr std::uint32_t kSendPauseBeforeMs = 30;
constexpr std::uint32_t kSendPauseAfterMs = 100;
constexpr int kSendPolls = 50;
constexpr std::uint32_t kSendPollPauseMs = 50;

// A zero-filled answer area that always has room for the NUL after a full read.
std::vector<char> AnswerArea(std::size_t size) {
    return std::vector<char>(std::max<std::size_t>(size, CSerialPort::kReadLimit) + 1, '\0');
}

}  // namespace

bool CSerialPort::Exchange(const AtCycle& cycle, std::string* answer) {
    answer->clear();
    platform::Clock::Pause(cycle.pauseBeforeMs);
    WriteData(cycle.request.c_str(), static_cast<int>(cycle.request.size()));
    platform::Clock::Pause(cycle.pauseAfterMs);
    std::vector<char> buffer = AnswerArea(cycle.answerArea);
    DWORD count = 0;
    const BOOL read = ReadData(buffer.data(), &count);
    m_lastOutcome.bytesRead = count;
    // One read, as ever; what it holds of earlier answers is taken out, and a request whose final
    // result code is not in it leaves that answer owed to the next transaction on the port.
    atlink::MatchedAnswer matched =
        atlink::MatchAnswer(cycle.request, buffer.data(), m_ledger->Owed(m_nPort));
    m_ledger->SetOwed(m_nPort, matched.owedLeft + (matched.final ? 0 : 1));
    if (!read || matched.answer.empty()) {
        // Bytes that held no final result code at all (lines of other commands only) are an
        // incomplete answer; earlier requests' whole answers alone are no answer to this one.
        const bool incomplete = count > 0 && atlink::CountFinalResults(buffer.data()) == 0;
        m_lastOutcome.outcome = !read && IsOpen() ? AtOutcome::Lost
                                : incomplete      ? AtOutcome::Incomplete
                                                  : AtOutcome::NoAnswer;
        return false;
    }
    m_lastOutcome.outcome = AtOutcome::Answered;
    *answer = std::move(matched.answer);
    return true;
}

bool CSerialPort::RunCycle(int nPort, const AtCycle& cycle, std::string* answer) {
    auto lock = LockTransaction();
    answer->clear();
    if (!OpenPort(nPort)) {
        ClosePort();  // releases what a half-finished open may hold
        return false;
    }
    const bool ok = Exchange(cycle, answer);
    ClosePort();
    return ok;
}

bool CSerialPort::RunCycle(const AtCycle& cycle, std::string* answer) {
    auto lock = LockTransaction();
    return Exchange(cycle, answer);
}

BOOL CSerialPort::RunSetCycle(int nPort, const std::string& request) {
    std::string answer;
    return RunCycle(nPort, AtCycle{request}, &answer) && atlink::HasOk(answer) ? TRUE : FALSE;
}

BOOL CSerialPort::RunSetCycle(const std::string& request) {
    std::string answer;
    return RunCycle(AtCycle{request}, &answer) && atlink::HasOk(answer) ? TRUE : FALSE;
}

std::string CSerialPort::SendAtCommand(int nPort, const std::string& strCmd) {
    auto lock = LockTransaction();
    const std::string request = strCmd + "\r\n";
    if (!OpenPort(nPort)) {
        ClosePort();
        return std::string();
    }
    platform::Clock::Pause(kSendPauseBeforeMs);
    WriteData(request.c_str(), static_cast<int>(request.size()));
    platform::Clock::Pause(kSendPauseAfterMs);
    // An answer may take several reads (a long one, or one trickled a byte at a time): the reads
    // are gathered until they hold this request's final result code and its line end, so an
    // "OK" split between two reads counts too; an earlier request's answer among them does not.
    // 50 reads of at most 200 bytes bound the gathered text.
    const int owed = m_ledger->Owed(m_nPort);
    std::vector<char> buffer = AnswerArea(kReadLimit);
    std::string gathered;
    atlink::MatchedAnswer matched;
    bool lost = false;
    for (int poll = 0; poll < kSendPolls; ++poll) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        DWORD count = 0;
        if (!ReadData(buffer.data(), &count)) {
            lost = true;  // the device is gone: nothing more will come
            break;
        }
        gathered.append(buffer.data());
        matched = atlink::MatchAnswer(request, gathered, owed);
        if (matched.final && matched.lineEnded) {
            break;
        }
        platform::Clock::Pause(kSendPollPauseMs);
    }
    ClosePort();
    m_ledger->SetOwed(m_nPort, matched.owedLeft + (matched.final ? 0 : 1));
    // Bytes that held no final result code at all are an incomplete answer; earlier requests'
    // whole answers alone are no answer to this one.
    const bool incomplete =
        !matched.answer.empty() || (!gathered.empty() && atlink::CountFinalResults(gathered) == 0);
    m_lastOutcome.bytesRead = gathered.size();
    m_lastOutcome.outcome = matched.final ? AtOutcome::Answered
                            : lost        ? AtOutcome::Lost
                            : incomplete  ? AtOutcome::Incomplete
                                          : AtOutcome::NoAnswer;
    return matched.final ? matched.answer : std::string();
}
