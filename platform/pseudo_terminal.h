// A pseudo-terminal pair for the module simulator: the simulator keeps the controlling side,
// the tool opens the other side's node as an ordinary serial port.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the pair, both ends raw. false (with a reason in *error) when the system refuses.
    bool Open(std::string* error);
    void Close();

    // The node of the port side, e.g. /dev/pts/7.
    const std::string& PortPath() const { return m_portPath; }

    // Waits at most timeoutMs for bytes from the port side; returns the count (0 on time-out).
    std::size_t Read(char* buffer, std::size_t maxBytes, int timeoutMs);
    // Writes all bytes to the port side; false when the pair is gone.
    bool Write(const char* data, std::size_t length);
    // Writes what the port side has room for now, without waiting; the count written.
    std::size_t WriteSome(const char* data, std::size_t length);
    // Drops everything that the port side has written and not yet been read.
    void Discard();

  private:
    int m_master = -1;
    int m_keepAlive = -1;  // our own descriptor of the port side, so its closing never hangs the pair up
    std::string m_portPath;
};

}  // namespace platform
