// The query commands of CSerialPort: standard cycles whose answers the parsers cut up.
#include "atlink/answer_parsers.h"
#include "atlink/serial_port.h"

namespace {

AtCycle Query(const char* request, std::uint32_t pauseAfterMs = 300, std::size_t area = 200) {
    return AtCycle{std::string(request) + "\r\n", 100, pauseAfterMs, area};
}

const AtCycle kDtuMode = Query("AT+DTUMODE?");
const AtCycle kCimi = Query("AT+CIMI");
const AtCycle kDtuCfg = Query("AT+DTUCFG?");
const AtCycle kCnmp = Query("AT+CNMP?");
const AtCycle kAuth = Query("AT+CGAUTH?", kLongPauseAfterMs, 300);
const AtCycle kApn = Query("AT+CGDCONT?", kLongPauseAfterMs, 1024);
const AtCycle kGmr = Query("AT+GMR");
const AtCycle kCsub = Query("AT+CSUB");
const AtCycle kVer = Query("AT+VER");

}  // namespace

std::string CSerialPort::QueryTextOn(const int* nPort, const AtCycle& cycle,
                                     std::string (*parse)(std::string_view)) {
    std::string answer;
    const bool ok = nPort != nullptr ? RunCycle(*nPort, cycle, &answer) : RunCycle(cycle, &answer);
    return ok ? parse(answer) : std::string();
}

int CSerialPort::QueryDtuMode(int nPort) {
    std::string answer;
    return RunCycle(nPort, kDtuMode, &answer) ? atlink::ParseDtuModeAnswer(answer) : 0;
}

std::string CSerialPort::QueryCimi(int nPort) {
    return QueryTextOn(&nPort, kCimi, atlink::ParseCimiAnswer);
}
std::string CSerialPort::QueryDtuCfg(int nPort) {
    return QueryTextOn(&nPort, kDtuCfg, atlink::ParseDtuCfgAnswer);
}
std::string CSerialPort::QueryDtuCfg() {
    return QueryTextOn(nullptr, kDtuCfg, atlink::ParseDtuCfgAnswer);
}
std::string CSerialPort::QueryCnmp(int nPort) {
    return QueryTextOn(&nPort, kCnmp, atlink::ParseCnmpAnswer);
}
std::string CSerialPort::QueryCnmp() {
    return QueryTextOn(nullptr, kCnmp, atlink::ParseCnmpAnswer);
}
std::string CSerialPort::QueryAuth(int nPort) {
    return QueryTextOn(&nPort, kAuth, atlink::ParseAuthAnswer);
}
std::string CSerialPort::QueryAuth() {
    return QueryTextOn(nullptr, kAuth, atlink::ParseAuthAnswer);
}
std::string CSerialPort::QueryApn(int nPort) {
    return QueryTextOn(&nPort, kApn, atlink::ParseApnAnswer);
}
std::string CSerialPort::QueryApn() {
    return QueryTextOn(nullptr, kApn, atlink::ParseApnAnswer);
}
std::optional<int> CSerialPort::QueryDtuModeValue(int nPort) {
    std::string answer;
    return RunCycle(nPort, kDtuMode, &answer) ? atlink::FindDtuModeValue(answer) : std::nullopt;
}
std::optional<std::string> CSerialPort::QueryApnValue(int nPort) {
    std::string answer;
    return RunCycle(nPort, kApn, &answer) ? atlink::FindApnValue(answer) : std::nullopt;
}
std::optional<std::string> CSerialPort::QueryApnValue() {
    std::string answer;
    return RunCycle(kApn, &answer) ? atlink::FindApnValue(answer) : std::nullopt;
}
std::string CSerialPort::QueryGmr(int nPort) {
    return QueryTextOn(&nPort, kGmr, atlink::ParseGmrAnswer);
}
std::string CSerialPort::QueryCsub(int nPort) {
    return QueryTextOn(&nPort, kCsub, atlink::ParseCsubAnswer);
}
std::string CSerialPort::QueryVer(int nPort) {
    return QueryTextOn(&nPort, kVer, atlink::ParseVerAnswer);
}
