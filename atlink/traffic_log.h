// The traffic log of the AT port: every request written and every answer read, as lines of
// "AtLog.ini" in the folder the tool writes to (line format and file rules in atlink/at_log.h).
#pragma once

#include <string>

namespace atlink {

class TrafficLog {
  public:
    // A "Send: " line for text written to the port.
    void Sent(const std::string& text) const;
    // A "Recv: " line for text read from the port.
    void Received(const std::string& text) const;
    // A "Note: " line for what the port layer did besides the traffic.
    void Note(const std::string& text) const;

  private:
    static std::string Path();
};

}  // namespace atlink
