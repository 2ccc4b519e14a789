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

}  // namespace

bool CSerialPort::Exchange(const AtCycle& cycle, std::string* answer) {
    answer->clear();
    platform::Clock::Pause(cycle.pauseBeforeMs);
    WriteData(cycle.request.c_str(), static_cast<int>(cycle.request.size()));
    platform::Clock::Pause(cycle.pauseAfterMs);
    std::vector<char> buffer = AnswerArea(cycle.answerArea);
    DWORD count = 0;
    if (!ReadData(buffer.data(), &count) || count == 0) {
        return false;
    }
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
    std::string result;
    if (!OpenPort(nPort)) {
        ClosePort();
        return result;
    }
    platform::Clock::Pause(kSendPauseBeforeMs);
    WriteData(request.c_str(), static_cast<int>(request.size()));
    platform::Clock::Pause(kSendPauseAfterMs);
    std::vector<char> buffer = AnswerArea(kReadLimit);
    for (int poll = 0; poll < kSendPolls; ++poll) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        DWORD count = 0;
        ReadData(buffer.data(), &count);
        const std::string text(buffer.data());
        if (atlink::HasOk(text) || atlink::HasError(text)) {
            result = text;
            break;
        }
        platform::Clock::Pause(kSendPollPauseMs);
    }
    ClosePort();
    return result;
}
