#include "cli/unit_values.h"

#include <array>
#include <utility>

#include "cli/set_option.h"

namespace marlinq::cli {

namespace {

constexpr std::array<const char*, 3> kFacts = {"{IMSI}", "{COM}", "{APP}"};

}  // namespace

bool NamesUnitFacts(const std::string& value) {
    for (const char* fact : kFacts) {
        if (value.find(fact) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool WithUnitFacts(const std::string& setting, const UnitFacts& facts, std::string* out, std::string* error) {
    const auto eq = setting.find('=');
    const std::string value = eq == std::string::npos ? std::string() : setting.substr(eq + 1);
    const std::array<std::pair<const char*, std::string>, 3> known = {{
        {kFacts[0], facts.imsi},
        {kFacts[1], facts.port > 0 ? std::to_string(facts.port) : std::string()},
        {kFacts[2], facts.appVersion},
    }};
    std::string replaced;
    for (std::size_t i = 0; i < value.size();) {
        bool matched = false;
        for (const auto& [name, text] : known) {
            const std::string token(name);
            if (value.compare(i, token.size(), token) == 0) {
                if (text.empty()) {
                    *error = "--set " + setting.substr(0, eq) + ": " + token + " is not known for this unit";
                    return false;
                }
                replaced += text;
                i += token.size();
                matched = true;
                break;
            }
        }
        if (!matched) {
            replaced += value[i++];
        }
    }
    *out = eq == std::string::npos ? setting : setting.substr(0, eq + 1) + replaced;
    return true;
}

bool CheckUnitSetting(const std::string& setting, std::string* error) {
    SetOption option;
    return NamesUnitFacts(setting) ? ParseSetTarget(setting, &option, error)
                                   : ParseSetOption(setting, &option, error);
}

}  // namespace marlinq::cli
