// Splits arbitrary DTUCFG answers, reads them into a record, and builds argument lists back from
// the fields; checks the bounds and that a list without commas in its texts splits back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "parameters/dtucfg_args.h"
#include "parameters/input_rules.h"

using namespace parameters;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    const auto reading = ReadDtuCfgAnswer(answer);
    if (!reading) {
        return 0;
    }
    for (std::size_t i = 0; i < kRecordFieldCount; ++i) {
        const std::string& field = reading->record.Get(static_cast<RecordField>(i));
        if (field.size() >= kRecordWidths[i] || field.find('\0') != std::string::npos) {
            std::abort();
        }
    }
    const auto& f = reading->fields;
    for (std::size_t i = 0; i + 1 < kDtuCfgFieldCount; ++i) {
        if (f[i].find(',') != std::string::npos) {
            std::abort();
        }
    }
    DtuCfgValues v;
    v.baudRate = f[0];
    v.ipAddr = f[1];
    v.port = f[2];
    v.sockType = f[3];
    v.registerText = f[5];
    v.beatInterval = f[6];
    v.beatText = f[7];
    v.beatHex = reading->beatHex;
    v.netReceive = f[9];
    v.triggerTime = f[11];
    v.triggerLength = f[12];
    v.resetTime = f[16];
    CheckInputRules(v);
    IsHexBeatText(answer);
    ResetTimeMinutesText(f[16]);
    const std::string built = BuildDtuCfgArgs(v);
    const auto back = SplitDtuCfgAnswer(built);
    if (!back) {
        std::abort();
    }
    // Fields 1..16 carry no commas, so every text comes back in its place.
    if ((*back)[1] != v.ipAddr || (*back)[5] != v.registerText || (*back)[12] != v.triggerLength) {
        std::abort();
    }
    return 0;
}
