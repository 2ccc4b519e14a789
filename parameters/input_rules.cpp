#include "parameters/input_rules.h"

#include "atlink/answer_text.h"
#include "parameters/parameter_table.h"

namespace parameters {

bool IsNetReceiveValid(std::string_view text) {
    if (text.empty()) {
        return true;
    }
    const int value = atlink::DecimalValue(text);
    return value == 0 || (value >= 10 && value <= 1000);
}

InputRule CheckInputRules(const DtuCfgValues& values) {
    if (values.resetTime == "0") {
        return InputRule::ResetTimeZero;
    }
    if (values.beatHex && !IsHexBeatText(values.beatText)) {
        return InputRule::BeatHexInvalid;
    }
    if (!IsNetReceiveValid(values.netReceive)) {
        return InputRule::NetReceiveInvalid;
    }
    return InputRule::None;
}

std::string InputRuleMessage(InputRule rule, DownloadForm form) {
    switch (rule) {
        case InputRule::ResetTimeZero:
            return "ResetTime cannot be set to 0!";
        case InputRule::BeatHexInvalid:
            return "The hex Beat are invalid!";
        case InputRule::NetReceiveInvalid:
            return form == DownloadForm::Full ? "Network receiving content is invalid!"
                                              : "网络侧接收缓存内容无效!";
        case InputRule::None:
            break;
    }
    return {};
}

bool LeftToInputRule(const ParameterRow& row, std::string_view value, bool beatHex) {
    // The rules judge the DTUCFG fields ResetTime (17), BeatText (8) and NetReceive (10).
    switch (row.dtuCfgField) {
        case 17:
            return value == "0";
        case 8:
            return beatHex && !IsHexBeatText(value);
        case 10:
            return !IsNetReceiveValid(value);
        default:
            return false;
    }
}

}  // namespace parameters
