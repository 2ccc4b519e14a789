// The input rules tested before a DTU configuration is sent.
#pragma once

#include <string>
#include <string_view>

#include "parameters/dtucfg_args.h"
#include "parameters/parameter_table.h"

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

// True when an input rule judges value of row and rejects it (ResetTime "0", a BeatText that is
// not hex while beatHex is on, a NetReceive outside R3). Such a value is left to its rule, so that
// the rule's message and its place after the working mode stay.
bool LeftToInputRule(const ParameterRow& row, std::string_view value, bool beatHex);

}  // namespace parameters
