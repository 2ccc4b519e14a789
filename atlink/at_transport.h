// AtTransport: moves bytes to and from the module's AT port, and nothing else. It opens a COM
// number, writes a request (discarding what waited before it), reads, and closes, also when it
// is destroyed; every byte string written or read goes to the traffic log. Whoever holds one
// keeps the port for as long as it wants it.
#pragma once

#include <cstddef>
#include <string>

#include "atlink/at_outcome.h"
#include "atlink/traffic_log.h"
#include "platform/serial_port.h"

namespace atlink {

class AtTransport {
  public:
    static constexpr std::size_t kReadLimit = 200;  // bytes taken by one read
    // Input discarded before a request is logged up to this many bytes (the driver's queue).
    static constexpr std::size_t kMaxDiscardLogged = 8192;

    AtTransport() = default;
    ~AtTransport() { Close(); }
    AtTransport(const AtTransport&) = delete;
    AtTransport& operator=(const AtTransport&) = delete;

    // Opens COM nPort: Answered when it is open and configured, else why not. A port that cannot
    // be configured stays open until Close.
    AtOutcome Open(int nPort);
    // False only when the port is closed; a failed or short write still gives true. Input that
    // is waiting before the request (a late answer to an earlier request, say) is discarded
    // first, logged as a "Recv: " line and handed back in *discarded, so it can never pass for
    // this request's answer. The log line of the request is data up to its first NUL.
    bool Write(const char* data, std::size_t length, std::string* discarded);
    // Reads at most 200 bytes into buffer, which has room for one byte more. False only when the
    // port is closed, the read cannot start or the device has gone away; a read without data is
    // true with *count 0.
    bool Read(char* buffer, std::size_t* count);
    // The same read without its log line: for an exchange that gathers several reads into one
    // answer and logs that answer once (LogReceived), so the log shows it whole.
    bool ReadUnlogged(char* buffer, std::size_t* count);
    void LogReceived(const std::string& text) const { m_log.Received(text); }
    void Close();

    bool IsOpen() const { return m_handle != platform::kInvalidSerialHandle; }
    int Port() const { return m_port; }  // the COM number of the last Open

  private:
    platform::SerialHandle m_handle = platform::kInvalidSerialHandle;
    int m_port = 0;
    TrafficLog m_log;
};

}  // namespace atlink
