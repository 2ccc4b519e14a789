// A provisioned unit's own values: a --set value may name facts of the unit it goes to, {IMSI},
// {COM} and {APP} (its IMSI, port number and application version), so that
// `--set mqtt.ClientId=dtu-{IMSI}` gives each unit its own client id.
#pragma once

#include <string>

namespace marlinq::cli {

struct UnitFacts {
    std::string imsi;
    int port = 0;
    std::string appVersion;
};

// Whether value names a fact of the unit.
bool NamesUnitFacts(const std::string& value);

// setting (NAME=VALUE) with each {IMSI}, {COM} and {APP} replaced by the unit's own; false with
// the reason when a fact it names is unknown for this unit (no IMSI read, say).
bool WithUnitFacts(const std::string& setting, const UnitFacts& facts, std::string* out, std::string* error);

// Before any unit: a setting without facts is checked whole, as --set checks it; one with facts
// only for its name (its value is checked for each unit once the facts are known). false with the
// reason.
bool CheckUnitSetting(const std::string& setting, std::string* error);

}  // namespace marlinq::cli
