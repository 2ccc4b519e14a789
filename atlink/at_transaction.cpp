// The standard cycle and the free-form console transaction of CSerialPort.
#include <vector>

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

// The line that holds the final result has its line end: a trickled answer is complete only
// then (within the 50 reads; without it the result is what has come).
bool FinalLineEnded(const std::string& text) {
    const std::size_t ok = text.find("OK");
    const std::size_t error = text.find("ERROR");
    return text.find('\n', std::min(ok, error)) != std::string::npos;
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
    if (!read || count == 0) {
        m_lastOutcome.outcome = !read && IsOpen() ? AtOutcome::Lost : AtOutcome::NoAnswer;
        return false;
    }
    m_lastOutcome.outcome = AtOutcome::Answered;
    answer->assign(buffer.data());
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
    // are gathered until the gathered text holds the final result, so an "OK" split between
    // two reads counts too. 50 reads of at most 200 bytes bound the gathered text.
    std::vector<char> buffer = AnswerArea(kReadLimit);
    std::string gathered;
    bool final = false;
    bool lost = false;
    for (int poll = 0; poll < kSendPolls; ++poll) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        DWORD count = 0;
        if (!ReadData(buffer.data(), &count)) {
            lost = true;  // the device is gone: nothing more will come
            break;
        }
        gathered.append(buffer.data());
        final = atlink::HasOk(gathered) || atlink::HasError(gathered);
        if (final && FinalLineEnded(gathered)) {
            break;
        }
        platform::Clock::Pause(kSendPollPauseMs);
    }
    ClosePort();
    m_lastOutcome.bytesRead = gathered.size();
    m_lastOutcome.outcome = final              ? AtOutcome::Answered
                            : lost             ? AtOutcome::Lost
                            : gathered.empty() ? AtOutcome::NoAnswer
                                               : AtOutcome::Incomplete;
    return final ? gathered : std::string();
}
