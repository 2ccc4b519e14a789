// The --set option of marlinq-cli's parameter commands: NAME=VALUE (a parameter's name, any case:
// "tcp.Port=6001") or [DIALOG:]ID=VALUE, checked against the parameter table before anything is
// sent.
#pragma once

#include <string>

#include "parameters/parameter_table.h"

namespace marlinq::cli {

struct SetOption {
    unsigned dialog = 0;  // template id; the main window (102) when the option names none
    int id = 0;
    std::string value;
    const parameters::ParameterRow* row = nullptr;
    std::string name;  // the parameter's name as the table spells it ("tcp.Port")
};

// Parses and checks one option; false with the reason when the name, dialog or id is unknown
// (an unknown name with the closest names) or the value impossible for that control. By name, a
// radio pair takes 1 (its Enable button ticked) or 0 (its Disable button ticked); the option then
// names the button to tick, with the value 1.
bool ParseSetOption(const std::string& setting, SetOption* option, std::string* error);

// Only the NAME or [DIALOG:]ID part: the parameter it names, with VALUE taken as it stands and not
// checked; false with the reason (an unknown name with the closest names).
bool ParseSetTarget(const std::string& setting, SetOption* option, std::string* error);

}  // namespace marlinq::cli
