// The simulated module's AT dialect and state, without any I/O.
//
// Handle() takes one request line (without its line end) and gives the answer bytes the module
// sends back, plus an action for the transport (reset, ADB switch). Sets change the state that
// the matching queries report, so a read after a download gives back what was written.
#pragma once

#include <map>
#include <string>

namespace sim {

// The IMSI a module reports unless it is given another.
inline constexpr const char* kDefaultImsi = "001010123456789";

enum class ModelAction { None, Reset, AdbOn, AdbOff };

struct ModelReply {
    std::string text;  // the exact bytes to send; empty for no answer
    ModelAction action = ModelAction::None;
};

class DtuModel {
  public:
    DtuModel();

    ModelReply Handle(const std::string& line);

    // The stored value of a setting by its command name ("DTUCFG", "CNMP", "APN", "CGAUTH",
    // "DTUMODE", "HOST", "MQTTCFG", "SUBTOPIC", "PUBTOPIC", "MODBUSCFG", "MODBUSCMD1".."5",
    // "MULTISOCKCFG1".."3", "CIMI", "GMR", "CSUB1", "CSUB2", "VER", "CSQ"); "" when unknown.
    std::string Value(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);

    bool AdbEnabled() const { return m_adb; }
    void SetAdbEnabled(bool on) { m_adb = on; }
    bool Echo() const { return m_echo; }
    void SetEcho(bool on) { m_echo = on; }

    // A faulty module: SetValue(kDtuCfgStoreFault, "K=TEXT") makes every later AT+DTUCFG= store
    // TEXT as field K (1..17) instead of what was sent, while still answering "OK".
    static constexpr const char* kDtuCfgStoreFault = "FAULT:DTUCFG";

    static std::string Ok() { return "\r\nOK\r\n"; }
    static std::string Error() { return "\r\nERROR\r\n"; }

  private:
    ModelReply Query(const std::string& name);
    ModelReply Set(const std::string& name, const std::string& arg);
    std::string WithStoreFault(const std::string& args) const;

    std::map<std::string, std::string> m_values;
    bool m_adb = false;
    bool m_echo = false;
};

}  // namespace sim
