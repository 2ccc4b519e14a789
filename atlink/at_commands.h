// The AT command table: one row per command the tool sends.
//
// A row says everything about its command: the request (or its part before the argument), the
// pauses of its transaction (fixed pacing) and its settle time (answer pacing, atlink/at_pacing.h), the shape
// of the exchange, the port rule the AT client applies and the message it logs when no AT port is found, how
// success is read, and which parser turns the answer into the value. CSerialPort runs a row on a port
// (CSerialPort::Run), the AT client runs it through its port rule (AtClient::Run). Adding a command is adding
// a row; a named entry point is a one-line convenience for callers that want one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "atlink/answer_parsers.h"

namespace atlink {

inline constexpr const char* kNoScanAtPort = "No scan AT port! ";
inline constexpr const char* kAtPortNotFound = "AT port not found! ";

// Answer pacing: the gap the module's command interpreter needs between its answer and the next
// request before it takes that request whole. The rows that the flows run one after the other
// (Get, Download, the extended parameters, the verify) carry it; the bare "AT" probe and the ADB
// rows, which drain the line first, need none.
inline constexpr std::uint32_t kFlowSettleMs = 10;

// How the request and its answer are exchanged once the port is open.
enum class AtExchange {
    Single,          // pause, write, pause, one read
    Drained,         // one read of what the module already sent (and a pause when it worked), then Single
    DrainedUntilOk,  // drained, then reads for as long as they bring data and no "OK" came
};

// Which port the AT client runs a command on.
enum class PortRule {
    ManualOrFound,    // the hand-opened port while no port is automatic, else the AT port found now
    FoundOnly,        // always the AT port found now
    FoundThreeTries,  // the AT port found once, then up to three tries 3 s apart
};

// How the value tells success.
enum class AtSuccess {
    ContainsOk,     // the answer contains "OK"
    NonEmptyValue,  // a text that is not empty, a number that is not 0
    ValuePresent,   // the answer held the value, whatever it is
    ReportsOn,      // the module reports the feature switched on
};

template <class T>
struct AtCommand {
    std::string_view request = {};        // the whole request line, or its part before the argument
    std::string_view afterArgument = {};  // the rest of the line after the argument; empty: no argument
    std::uint32_t pauseBeforeMs = 100;    // fixed pacing: before the write
    std::uint32_t pauseAfterMs = 300;     // fixed pacing: after it; answer pacing: the least time-out
    std::size_t answerArea = 200;
    AtExchange exchange = AtExchange::Single;
    PortRule portRule = PortRule::ManualOrFound;
    const char* notFound = kNoScanAtPort;
    AtSuccess success = AtSuccess::NonEmptyValue;
    T (*parse)(std::string_view) = nullptr;
    std::uint32_t settleMs = 0;  // answer pacing: the pause before the write (atlink/at_pacing.h)
    // The module's answer always carries a value line before its final result code, so that a bare
    // "OK" is never this command's answer. Answer pacing takes such an "OK" for the answer of an
    // earlier request (one that another program left in flight on the port) and reads on.
    bool valueInAnswer = false;

    bool TakesArgument() const { return !afterArgument.empty(); }
};

// Set commands: the answer contains "OK".
using AtSetCommand = AtCommand<bool>;
// Query commands whose value is a text.
using AtTextQuery = AtCommand<std::string>;

// --- Queries --------------------------------------------------------------------------------
inline constexpr AtCommand<int> kQueryDtuMode{.request = "AT+DTUMODE?\r\n",
                                              .portRule = PortRule::FoundOnly,
                                              .parse = ParseDtuModeAnswer,
                                              .settleMs = kFlowSettleMs,
                                              .valueInAnswer = true};
inline constexpr AtCommand<std::optional<int>> kQueryDtuModeValue{.request = "AT+DTUMODE?\r\n",
                                                                  .portRule = PortRule::FoundOnly,
                                                                  .success = AtSuccess::ValuePresent,
                                                                  .parse = FindDtuModeValue,
                                                                  .settleMs = kFlowSettleMs,
                                                                  .valueInAnswer = true};
inline constexpr AtTextQuery kQueryCimi{.request = "AT+CIMI\r\n",
                                        .portRule = PortRule::FoundOnly,
                                        .parse = ParseCimiAnswer,
                                        .settleMs = kFlowSettleMs,
                                        .valueInAnswer = true};
inline constexpr AtTextQuery kQueryDtuCfg{.request = "AT+DTUCFG?\r\n",
                                          .parse = ParseDtuCfgAnswer,
                                          .settleMs = kFlowSettleMs,
                                          .valueInAnswer = true};
inline constexpr AtTextQuery kQueryCnmp{
    .request = "AT+CNMP?\r\n", .parse = ParseCnmpAnswer, .settleMs = kFlowSettleMs, .valueInAnswer = true};
inline constexpr AtTextQuery kQueryAuth{.request = "AT+CGAUTH?\r\n",
                                        .pauseAfterMs = 500,
                                        .answerArea = 300,
                                        .parse = ParseAuthAnswer,
                                        .settleMs = kFlowSettleMs};
inline constexpr AtTextQuery kQueryApn{.request = "AT+CGDCONT?\r\n",
                                       .pauseAfterMs = 500,
                                       .answerArea = 1024,
                                       .parse = ParseApnAnswer,
                                       .settleMs = kFlowSettleMs};
inline constexpr AtCommand<std::optional<std::string>> kQueryApnValue{.request = "AT+CGDCONT?\r\n",
                                                                      .pauseAfterMs = 500,
                                                                      .answerArea = 1024,
                                                                      .success = AtSuccess::ValuePresent,
                                                                      .parse = FindApnValue,
                                                                      .settleMs = kFlowSettleMs};
inline constexpr AtTextQuery kQueryGmr{.request = "AT+GMR\r\n",
                                       .portRule = PortRule::FoundOnly,
                                       .parse = ParseGmrAnswer,
                                       .settleMs = kFlowSettleMs,
                                       .valueInAnswer = true};
inline constexpr AtTextQuery kQueryCsub{.request = "AT+CSUB\r\n",
                                        .portRule = PortRule::FoundOnly,
                                        .parse = ParseCsubAnswer,
                                        .settleMs = kFlowSettleMs,
                                        .valueInAnswer = true};
inline constexpr AtTextQuery kQueryVer{.request = "AT+VER\r\n",
                                       .portRule = PortRule::FoundOnly,
                                       .parse = ParseVerAnswer,
                                       .settleMs = kFlowSettleMs,
                                       .valueInAnswer = true};
inline constexpr AtCommand<bool> kQueryAdb{.request = "AT+CUSBADB?\r\n",
                                           .pauseBeforeMs = 300,
                                           .pauseAfterMs = 300,
                                           .exchange = AtExchange::Drained,
                                           .portRule = PortRule::FoundOnly,
                                           .notFound = kAtPortNotFound,
                                           .success = AtSuccess::ReportsOn,
                                           .parse = ParseAdbAnswer};

// The module's readiness on a port the session is pinned to: a bare "AT" answered with "OK".
inline constexpr AtSetCommand kProbeAt{.request = "AT\r\n",
                                       .portRule = PortRule::FoundOnly,
                                       .success = AtSuccess::ContainsOk,
                                       .parse = ParseSetAnswer};

// --- Sets -----------------------------------------------------------------------------------
// An argument holding CR or LF would put a second command on the line: such a request is
// refused before anything reaches the port. Everything else in it is sent as given.
inline constexpr AtSetCommand SetRow(std::string_view prefix, std::string_view afterArgument = "\r\n") {
    return AtSetCommand{.request = prefix,
                        .afterArgument = afterArgument,
                        .success = AtSuccess::ContainsOk,
                        .parse = ParseSetAnswer,
                        .settleMs = kFlowSettleMs};
}

inline constexpr AtSetCommand kSetDtuCfg = SetRow("AT+DTUCFG=");
inline constexpr AtSetCommand kSetMultiSockCfg = SetRow("AT+MULTISOCKCFG=");
inline constexpr AtSetCommand kSetModbusCfg = SetRow("AT+MODBUSCFG=");
inline constexpr AtSetCommand kSetModbusCmd = SetRow("AT+MODBUSCMD=");
inline constexpr AtSetCommand kSetDtuMode = SetRow("AT+DTUMODE=");
inline constexpr AtSetCommand kSetHost = SetRow("AT+HOST=");
inline constexpr AtSetCommand kSetMqttCfg = SetRow("AT+MQTTCFG=");
inline constexpr AtSetCommand kSetSubTopic = SetRow("AT+SUBTOPIC=");
inline constexpr AtSetCommand kSetPubTopic = SetRow("AT+PUBTOPIC=");
inline constexpr AtSetCommand kSetCnmp = SetRow("AT+CNMP=");
inline constexpr AtSetCommand kSetAuth = SetRow("AT+CGAUTH=");
// The APN travels as context 1 of type IP, between double quotes.
inline constexpr AtSetCommand kSetApn = SetRow("AT+CGDCONT=1,\"IP\",\"", "\"\r\n");
inline constexpr AtSetCommand kClearAuth{.request = "AT+CGAUTH=1\r\n",
                                         .notFound = kAtPortNotFound,
                                         .success = AtSuccess::ContainsOk,
                                         .parse = ParseSetAnswer,
                                         .settleMs = kFlowSettleMs};
inline constexpr AtSetCommand kResetModule{.request = "AT+CRESET\r\n",
                                           .notFound = kAtPortNotFound,
                                           .success = AtSuccess::ContainsOk,
                                           .parse = ParseSetAnswer,
                                           .settleMs = kFlowSettleMs};
inline constexpr AtSetCommand kEnableAdb{.request = "AT+CUSBADB=1\r\n",
                                         .pauseBeforeMs = 100,
                                         .pauseAfterMs = 500,
                                         .exchange = AtExchange::DrainedUntilOk,
                                         .portRule = PortRule::FoundThreeTries,
                                         .notFound = kAtPortNotFound,
                                         .success = AtSuccess::ContainsOk,
                                         .parse = ParseSetAnswer};
inline constexpr AtSetCommand kHideAdb{.request = "AT+CUSBADB=0\r\n",
                                       .pauseBeforeMs = 300,
                                       .pauseAfterMs = 500,
                                       .exchange = AtExchange::Drained,
                                       .portRule = PortRule::FoundThreeTries,
                                       .notFound = kAtPortNotFound,
                                       .success = AtSuccess::ContainsOk,
                                       .parse = ParseSetAnswer};

// Every row, for whoever must see them all (the table's own test, a listing): f is called with
// each row in turn.
template <class F>
void ForEachAtCommand(F&& f) {
    f(kQueryDtuMode), f(kQueryDtuModeValue), f(kQueryCimi), f(kQueryDtuCfg), f(kQueryCnmp);
    f(kQueryAuth), f(kQueryApn), f(kQueryApnValue), f(kQueryGmr), f(kQueryCsub), f(kQueryVer);
    f(kQueryAdb), f(kProbeAt);
    f(kSetDtuCfg), f(kSetMultiSockCfg), f(kSetModbusCfg), f(kSetModbusCmd), f(kSetDtuMode);
    f(kSetHost), f(kSetMqttCfg), f(kSetSubTopic), f(kSetPubTopic), f(kSetCnmp), f(kSetAuth);
    f(kSetApn), f(kClearAuth), f(kResetModule), f(kEnableAdb), f(kHideAdb);
}

// The request line of command with argument, or nullopt when the argument holds CR or LF. A
// command without an argument ignores argument.
template <class T>
std::optional<std::string> RequestFor(const AtCommand<T>& command, std::string_view argument = {}) {
    if (!command.TakesArgument()) {
        return std::string(command.request);
    }
    if (argument.find_first_of("\r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(command.request.size() + argument.size() + command.afterArgument.size());
    out.append(command.request).append(argument).append(command.afterArgument);
    return out;
}

// Whether value passes rule.
template <class T>
bool PassesSuccess(AtSuccess rule, const T& value) {
    switch (rule) {
        case AtSuccess::ValuePresent:
            if constexpr (requires { value.has_value(); }) {
                return value.has_value();
            }
            return false;
        case AtSuccess::NonEmptyValue:
            if constexpr (requires { value.empty(); }) {
                return !value.empty();
            } else if constexpr (std::is_arithmetic_v<T>) {
                return value != T{};
            }
            return false;
        case AtSuccess::ContainsOk:
        case AtSuccess::ReportsOn:
            if constexpr (std::is_same_v<T, bool>) {
                return value;
            }
            return false;
    }
    return false;
}

}  // namespace atlink
