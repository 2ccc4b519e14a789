// The DTUCFG argument list: the 17 comma-separated fields shared by the AT+DTUCFG= download and
// the +DTUCFG answer, built from a plain view of the parameter values and split back into fields.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "parameters/dtucfg_record.h"

namespace parameters {

inline constexpr std::size_t kDtuCfgFieldCount = 17;
using DtuCfgFields = std::array<std::string, kDtuCfgFieldCount>;  // fields 1..17 at 0..16

// The values BuildDtuCfgArgs and the input rules read, as the controls show them.
struct DtuCfgValues {
    std::string baudRate;  // text of the selected baud item, empty when none
    std::string ipAddr;
    std::string port;
    std::string sockType;  // text of the selected Type item, empty when none
    bool registerEnable = false;
    std::string registerText;
    std::string beatInterval;
    std::string beatText;
    bool beatHex = false;
    bool urcEnable = false;
    std::string netReceive;
    std::string triggerTime;
    std::string triggerLength;
    bool cloudEnable = false;
    std::array<bool, 4> serverEnable{};  // servers 1..4
    bool modbusEnable = false;
    std::array<bool, 5> modbusCmdEnable{};  // MODBUS commands 1..5
    std::string resetTime;                  // minutes
};

// True when text is valid hex heartbeat text: even length, an optional leading "0X" (upper-case
// X only), then only 0-9, a-f, A-F. The empty text passes.
bool IsHexBeatText(std::string_view text);

// The beat text as sent: "0X" put in front when the hex flag is on and the text does not start
// with "0X" already.
std::string BeatTextToSend(std::string_view text, bool beatHex);

// The 17 fields joined by commas, without quoting or escaping.
std::string BuildDtuCfgArgs(const DtuCfgValues& values);

// Splits an answer at commas: fields 1..16 lie between successive commas, field 17 is everything
// after the 16th comma. nullopt when the text has fewer than 16 commas.
std::optional<DtuCfgFields> SplitDtuCfgAnswer(std::string_view text);

// What the read flow takes from a +DTUCFG answer.
struct DtuCfgReading {
    DtuCfgFields fields;       // as split, field 8 with its "0X" removed
    bool beatHex = false;      // field 8 started with "0X"
    int serialTypeIndex = -1;  // 1 "485", 0 "232", -1 no selection
    DtuCfgRecord record;
};
std::optional<DtuCfgReading> ReadDtuCfgAnswer(std::string_view answer);

// The ResetTime edit's text for a record field holding minutes x 12: "%d" of the integer value
// divided by 12, truncating toward zero; an empty field gives "0".
std::string ResetTimeMinutesText(std::string_view recordValue);

}  // namespace parameters
