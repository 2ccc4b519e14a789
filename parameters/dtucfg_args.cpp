#include "parameters/dtucfg_args.h"

#include "atlink/answer_text.h"
#include "parameters/value_tables.h"

namespace parameters {

namespace {

bool StartsWith0X(std::string_view text) {
    return text.size() >= 2 && text[0] == '0' && text[1] == 'X';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

const char* Flag(bool on) {
    return on ? "1" : "0";
}

}  // namespace

bool IsHexBeatText(std::string_view text) {
    if (text.size() % 2 != 0) {
        return false;
    }
    if (StartsWith0X(text)) {
        text.remove_prefix(2);
    }
    for (char c : text) {
        if (!IsHexDigit(c)) {
            return false;
        }
    }
    return true;
}

std::string BeatTextToSend(std::string_view text, bool beatHex) {
    if (beatHex && !StartsWith0X(text)) {
        return "0X" + std::string(text);
    }
    return std::string(text);
}

std::string BuildDtuCfgArgs(const DtuCfgValues& v) {
    int servers = 0;
    for (bool on : v.serverEnable) {
        servers += on ? 1 : 0;
    }
    int commands = 0;
    if (v.modbusEnable) {
        for (bool on : v.modbusCmdEnable) {
            commands += on ? 1 : 0;
        }
    }
    const long long resetTicks = 12LL * atlink::DecimalValue(v.resetTime);
    const std::string fields[kDtuCfgFieldCount] = {
        v.baudRate,
        v.ipAddr,
        v.port,
        v.sockType,
        Flag(v.registerEnable),
        v.registerText,
        v.beatInterval,
        BeatTextToSend(v.beatText, v.beatHex),
        Flag(v.urcEnable),
        v.netReceive,
        "0",
        v.triggerTime,
        v.triggerLength,
        Flag(v.cloudEnable),
        servers >= 2 ? std::to_string(servers) : "0",
        std::to_string(commands),
        std::to_string(resetTicks),
    };
    std::string out;
    for (std::size_t i = 0; i < kDtuCfgFieldCount; ++i) {
        if (i > 0) {
            out += ',';
        }
        out += fields[i];
    }
    return out;
}

std::optional<DtuCfgFields> SplitDtuCfgAnswer(std::string_view text) {
    DtuCfgFields fields;
    std::size_t start = 0;
    for (std::size_t k = 0; k + 1 < kDtuCfgFieldCount; ++k) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        fields[k] = std::string(text.substr(start, comma - start));
        start = comma + 1;
    }
    fields[kDtuCfgFieldCount - 1] = std::string(text.substr(start));
    return fields;
}

std::optional<DtuCfgReading> ReadDtuCfgAnswer(std::string_view answer) {
    auto split = SplitDtuCfgAnswer(answer);
    if (!split) {
        return std::nullopt;
    }
    DtuCfgReading r;
    r.fields = std::move(*split);
    r.serialTypeIndex = SerialTypeIndexForAnswer(answer);
    std::string& beat = r.fields[7];
    r.beatHex = StartsWith0X(beat);
    if (r.beatHex) {
        beat.erase(0, 2);
    }
    const auto& f = r.fields;
    r.record.Set(RecordField::IPAddr, f[1]);
    r.record.Set(RecordField::Port, f[2]);
    r.record.Set(RecordField::SockType, f[3]);
    r.record.Set(RecordField::RegisterEnable, f[4]);
    r.record.Set(RecordField::RegisterText, f[5]);
    r.record.Set(RecordField::BeatInterval, f[6]);
    r.record.Set(RecordField::BeatText, f[7]);
    r.record.Set(RecordField::UrcEnable, f[8]);
    r.record.Set(RecordField::NetReceive, f[9]);
    r.record.Set(RecordField::TriggerTime, f[11]);
    r.record.Set(RecordField::TriggerLength, f[12]);
    r.record.Set(RecordField::CloudEnable, f[13]);
    r.record.Set(RecordField::ResetTime, f[16]);
    return r;
}

std::string ResetTimeMinutesText(std::string_view recordValue) {
    return std::to_string(atlink::DecimalValue(recordValue) / 12);
}

}  // namespace parameters
