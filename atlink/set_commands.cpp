// The set commands of CSerialPort: standard cycles that succeed on "OK".
#include "atlink/answer_parsers.h"
#include "atlink/at_requests.h"
#include "atlink/serial_port.h"

using atlink::SetRequest;

BOOL CSerialPort::SetOn(const int* nPort, const std::optional<std::string>& request) {
    if (!request) {
        return FALSE;  // refused before anything reaches the port
    }
    return nPort != nullptr ? RunSetCycle(*nPort, *request) : RunSetCycle(*request);
}

#define MARLINQ_SET_COMMAND(Name, prefix)                          \
    BOOL CSerialPort::Name(int nPort, const std::string& strArg) { \
        return SetOn(&nPort, SetRequest(prefix, strArg));          \
    }                                                              \
    BOOL CSerialPort::Name(const std::string& strArg) {            \
        return SetOn(nullptr, SetRequest(prefix, strArg));         \
    }

MARLINQ_SET_COMMAND(SetDtuCfg, "AT+DTUCFG=")
MARLINQ_SET_COMMAND(SetMultiSockCfg, "AT+MULTISOCKCFG=")
MARLINQ_SET_COMMAND(SetModbusCfg, "AT+MODBUSCFG=")
MARLINQ_SET_COMMAND(SetModbusCmd, "AT+MODBUSCMD=")
MARLINQ_SET_COMMAND(SetDtuMode, "AT+DTUMODE=")
MARLINQ_SET_COMMAND(SetHost, "AT+HOST=")
MARLINQ_SET_COMMAND(SetMqttCfg, "AT+MQTTCFG=")
MARLINQ_SET_COMMAND(SetSubTopic, "AT+SUBTOPIC=")
MARLINQ_SET_COMMAND(SetPubTopic, "AT+PUBTOPIC=")
MARLINQ_SET_COMMAND(SetCnmp, "AT+CNMP=")
MARLINQ_SET_COMMAND(SetAuth, "AT+CGAUTH=")

#undef MARLINQ_SET_COMMAND

BOOL CSerialPort::SetApn(int nPort, const std::string& strApn) {
    return SetOn(&nPort, SetRequest(atlink::kApnPrefix, strApn, atlink::kApnSuffix));
}
BOOL CSerialPort::SetApn(const std::string& strApn) {
    return SetOn(nullptr, SetRequest(atlink::kApnPrefix, strApn, atlink::kApnSuffix));
}
BOOL CSerialPort::ClearAuth(int nPort) {
    return RunSetCycle(nPort, "AT+CGAUTH=1\r\n");
}
BOOL CSerialPort::ClearAuth() {
    return RunSetCycle("AT+CGAUTH=1\r\n");
}
BOOL CSerialPort::ResetModule(int nPort) {
    return RunSetCycle(nPort, "AT+CRESET\r\n");
}
BOOL CSerialPort::ResetModule() {
    return RunSetCycle("AT+CRESET\r\n");
}
