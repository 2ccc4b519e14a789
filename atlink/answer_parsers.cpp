#include "atlink/answer_parsers.h"

#include "atlink/answer_match.h"
#include "atlink/answer_text.h"

namespace atlink {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The standard text query: optional error test, then the value after prefix up to CR LF.
std::string TextValue(std::string_view answer, bool errorTestFirst, std::string_view prefix,
                      std::size_t field) {
    if (errorTestFirst && HasError(answer)) {
        return {};
    }
    return CutValue(answer, prefix, kCrLf, field).value_or(std::string());
}

}  // namespace

bool ParseSetAnswer(std::string_view answer) {
    return HasOk(answer);
}

int ParseDtuModeAnswer(std::string_view answer) {
    const int mode = FindDtuModeValue(answer).value_or(0);
    return mode == 1 || mode == 2 ? mode : 0;
}

std::string ParseCimiAnswer(std::string_view answer) {
    if (HasError(answer)) {
        return {};
    }
    const std::size_t first = answer.find(kCrLf);
    if (first == std::string_view::npos) {
        return {};
    }
    std::string value = CutValue(answer.substr(first), kCrLf, kCrLf, kCimiField).value_or(std::string());
    // An answer without the IMSI line ends with its final result code where the IMSI would be.
    return IsFinalResultLine(value) ? std::string() : value;
}

std::string ParseDtuCfgAnswer(std::string_view answer) {
    return TextValue(answer, true, "+DTUCFG: ", kDtuCfgField);
}

std::string ParseCnmpAnswer(std::string_view answer) {
    return TextValue(answer, true, "+CNMP: ", kCnmpField);
}

std::string ParseAuthAnswer(std::string_view answer) {
    return TextValue(answer, true, "+CGAUTH: ", kAuthField);
}

std::string ParseApnAnswer(std::string_view answer) {
    return FindApnValue(answer).value_or(std::string());
}

std::optional<int> FindDtuModeValue(std::string_view answer) {
    const auto value = CutValue(answer, "+DTUMODE: ", kCrLf, kDtuModeField);
    if (!value || value->empty()) {
        return std::nullopt;  // no such line, or one cut off before its end
    }
    return DecimalValue(*value);
}

std::optional<std::string> FindApnValue(std::string_view answer) {
    if (HasError(answer) || answer.find("+CGDCONT: 1,\"IP\",") == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t first = answer.find(',');
    const std::size_t second = first == std::string_view::npos ? first : answer.find(',', first + 1);
    const std::size_t third = second == std::string_view::npos ? second : answer.find(',', second + 1);
    if (third == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = answer.substr(second + 1, third - second - 1);
    if (value.find('"') != std::string_view::npos) {
        while (!value.empty() && value.front() == '"') {
            value.remove_prefix(1);
        }
        while (!value.empty() && value.back() == '"') {
            value.remove_suffix(1);
        }
    }
    return std::string(value);
}

std::string ParseGmrAnswer(std::string_view answer) {
    return TextValue(answer, false, "+GMR: ", kGmrField);
}

std::string ParseCsubAnswer(std::string_view answer) {
    if (HasError(answer)) {
        return {};
    }
    std::size_t end = 0;
    const auto first = CutValue(answer, "+CSUB: ", kCrLf, kCsubField, 0, &end);
    if (!first || (first->empty() && end == answer.size())) {
        return {};  // no first line, or it is still incomplete
    }
    const auto second = CutValue(answer, "+CSUB: ", kCrLf, kCsubField, end);
    return *first + "_" + second.value_or(std::string());
}

std::string ParseVerAnswer(std::string_view answer) {
    return TextValue(answer, true, "+VER: ", kVerField);
}

bool ParseAdbAnswer(std::string_view answer) {
    const auto value = CutValue(answer, "+CUSBADB: ", "\r", kAdbField);
    return value && DecimalValue(*value) == 1;
}

}  // namespace atlink
