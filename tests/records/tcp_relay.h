// A TCP relay of the tests' own on 127.0.0.1: it passes every connection made to its port on to a
// server, and can go away and come back on the same port. Gone, it is what a station sees
// of a database server that stopped: connections in progress are cut and new ones are refused.
#pragma once

#include <string>
#include <thread>

namespace testsupport {

class TcpRelay {
  public:
    TcpRelay() = default;
    ~TcpRelay();  // stops relaying
    TcpRelay(const TcpRelay&) = delete;
    TcpRelay& operator=(const TcpRelay&) = delete;

    // Listens on a free port of 127.0.0.1 and relays to targetPort of targetHost; false with the
    // reason.
    bool Start(const std::string& targetHost, int targetPort, std::string* error);
    // Closes the port and every connection through it.
    void Stop();
    // Listens on the same port again after Stop; false with the reason.
    bool Restart(std::string* error);

    int Port() const { return m_port; }

  private:
    bool Listen(std::string* error);
    void Relay();  // the relaying thread: accepts and passes bytes until told to stop

    std::string m_targetHost;
    int m_targetPort = 0;
    int m_port = 0;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};  // a byte on it ends the relaying thread
    std::thread m_thread;
};

}  // namespace testsupport
