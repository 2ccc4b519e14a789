// The ADB switch commands of CSerialPort. They first drain what the module has already sent,
// then run a longer cycle; EnableAdb keeps reading while reads bring data without "OK".
#include <vector>

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
    if (ReadData(answer.bytes.data(), &count) && count > 0) {
        for (int reads = 1; reads <= kMaxEnableReads; ++reads) {
            if (atlink::ParseSetAnswer(answer.Text())) {
                result = TRUE;
                break;
            }
            answer.Clear();
            if (!ReadData(answer.bytes.data(), &count) || count == 0) {
                break;
            }
        }
    }
    ClosePort();
    return result;
}

BOOL CSerialPort::HideAdb(int nPort) {
    auto lock = LockTransaction();
    if (!OpenPort(nPort)) {
        ClosePort();
        return FALSE;
    }
    DrainRead();
    platform::Clock::Pause(300);
    const std::string request = "AT+CUSBADB=0\r\n";
    WriteData(request.c_str(), static_cast<int>(request.size()));
    platform::Clock::Pause(500);
    Buffer answer;
    DWORD count = 0;
    const bool read = ReadData(answer.bytes.data(), &count) && count > 0;
    ClosePort();
    return read && atlink::ParseSetAnswer(answer.Text()) ? TRUE : FALSE;
}

BOOL CSerialPort::QueryAdb(int nPort) {
    auto lock = LockTransaction();
    if (!OpenPort(nPort)) {
        ClosePort();
        return FALSE;
    }
    DrainRead();
    platform::Clock::Pause(300);
    const std::string request = "AT+CUSBADB?\r\n";
    WriteData(request.c_str(), static_cast<int>(request.size()));
    platform::Clock::Pause(300);
    Buffer answer;
    DWORD count = 0;
    const bool read = ReadData(answer.bytes.data(), &count) && count > 0;
    ClosePort();
    return read && atlink::ParseAdbAnswer(answer.Text()) ? TRUE : FALSE;
}
