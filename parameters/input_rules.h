// The input rules tested before a DTU configuration is sent, and the refusal of texts that would
// corrupt a command line.
#pragma once

#include <string>
#include <string_view>

#include "parameters/dtucfg_args.h"

namespace parameters {

enum class InputRule {
    None,
    ResetTimeZero,      // R1: ResetTime is exactly "0"
    BeatHexInvalid,     // R2: BeatHex on and IsHexBeatText false for BeatText
    NetReceiveInvalid,  // R3: NetReceive non-empty and neither 0 nor in 10..1000
};

// True when NetReceive passes R3: empty, or its integer value is 0 or in 10..1000.
bool IsNetReceiveValid(std::string_view text);

// The first rule of R1, R2, R3 that fails; None when all pass.
InputRule CheckInputRules(const DtuCfgValues& values);

// The message of a failed rule. R3 words it differently in the current-page form.
enum class DownloadForm { Full, CurrentPage };
std::string InputRuleMessage(InputRule rule, DownloadForm form);

// Why a text cannot be sent: a comma where the fields of a command are joined by commas would
// shift every later field; a CR or LF would end the command line early.
enum class TextFault { None, Comma, LineBreak };
TextFault CheckSentText(std::string_view text, bool joinedByCommas);
// "<name> cannot contain a comma!" / "<name> cannot contain a line break!"; empty for None.
std::string TextFaultMessage(std::string_view name, TextFault fault);

}  // namespace parameters
