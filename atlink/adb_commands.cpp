// The ADB switch commands of CSerialPort. They first drain what the module has already sent,
// then run a longer cycle; EnableAdb keeps reading while reads bring data without "OK".
#include <vector>

#include "atlink/answer_match.h"
#include "atlink/answer_parsers.h"
#include "atlink/serial_port.h"
#include "platform/clock.h"

namespace {

constexpr std::uint32_t kDrainPauseMs = 1000;
// A module that streams without ever saying "OK" would otherwise keep EnableAdb reading forever.
constexpr int kMaxEnableReads = 500;

struct Buffer {
    std::vector<char> bytes = std::vector<char>(CSerialPort::kReadLimit + 1, '\0');
    void Clear() { std::fill(bytes.begin(), bytes.end(), '\0'); }
    std::string Text() const { return std::string(bytes.data()); }
};

}  // namespace

bool CSerialPort::DrainRead() {
    Buffer drain;
    DWORD count = 0;
    if (ReadData(drain.bytes.data(), &count)) {
        m_ledger->Paid(m_nPort, atlink::CountFinalResults(drain.Text()));
        platform::Clock::Pause(kDrainPauseMs);
        return true;
    }
    return false;
}

BOOL CSerialPort::EnableAdb(int nPort) {
    auto lock = LockTransaction();
    if (!OpenPort(nPort)) {
        ClosePort();
        return FALSE;
    }
    DrainRead();
    platform::Clock::Pause(100);
    const std::string request = "AT+CUSBADB=1\r\n";
    WriteData(request.c_str(), static_cast<int>(request.size()));
    platform::Clock::Pause(500);
    Buffer answer;
    DWORD count = 0;
    BOOL result = FALSE;
    // The reads are matched together, so that an earlier request's late "OK" among them is not
    // taken for this one's.
    const int owed = m_ledger->Owed(m_nPort);
    std::string gathered;
    atlink::MatchedAnswer matched;
    if (ReadData(answer.bytes.data(), &count) && count > 0) {
        for (int reads = 1; reads <= kMaxEnableReads; ++reads) {
            gathered += answer.Text();
            matched = atlink::MatchAnswer(request, gathered, owed);
            if (matched.final && atlink::ParseSetAnswer(matched.answer)) {
                result = TRUE;
                break;
            }
            answer.Clear();
            if (!ReadData(answer.bytes.data(), &count) || count == 0) {
                break;
            }
        }
    }
    m_ledger->SetOwed(m_nPort, matched.owedLeft + (matched.final ? 0 : 1));
    ClosePort();
    return result;
}

// The single-read ADB cycle: open, drain, pause, write, pause, one read, close.
bool CSerialPort::RunDrainedCycle(int nPort, const AtCycle& cycle, std::string* answer) {
    auto lock = LockTransaction();
    answer->clear();
    if (!OpenPort(nPort)) {
        ClosePort();
        return false;
    }
    DrainRead();
    const bool read = Exchange(cycle, answer);
    ClosePort();
    return read;
}

BOOL CSerialPort::HideAdb(int nPort) {
    std::string answer;
    return RunDrainedCycle(nPort, AtCycle{"AT+CUSBADB=0\r\n", 300, 500}, &answer) &&
                   atlink::ParseSetAnswer(answer)
               ? TRUE
               : FALSE;
}

BOOL CSerialPort::QueryAdb(int nPort) {
    std::string answer;
    return RunDrainedCycle(nPort, AtCycle{"AT+CUSBADB?\r\n", 300, 300}, &answer) &&
                   atlink::ParseAdbAnswer(answer)
               ? TRUE
               : FALSE;
}
