#include "parameters/input_rules.h"

#include "atlink/answer_text.h"

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

TextFault CheckSentText(std::string_view text, bool joinedByCommas) {
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        return TextFault::LineBreak;
    }
    if (joinedByCommas && text.find(',') != std::string_view::npos) {
        return TextFault::Comma;
    }
    return TextFault::None;
}

std::string TextFaultMessage(std::string_view name, TextFault fault) {
    switch (fault) {
        case TextFault::Comma:
            return std::string(name) + " cannot contain a comma!";
        case TextFault::LineBreak:
            return std::string(name) + " cannot contain a line break!";
        case TextFault::None:
            break;
    }
    return {};
}

}  // namespace parameters
