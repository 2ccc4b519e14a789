// The --set option of marlinq-cli's parameter commands: [DIALOG:]ID=VALUE, checked against the
// parameter table before anything is sent.
#pragma once

#include <string>

#include "parameters/parameter_table.h"

namespace marlinq::cli {

struct SetOption {
    unsigned dialog = 0;  // template id; the main window (102) when the option names none
    int id = 0;
    std::string value;
    const parameters::ParameterRow* row = nullptr;
};

// Parses and checks one option; false with the reason when the dialog or id is unknown or the
// value impossible for that control.
bool ParseSetOption(const std::string& setting, SetOption* option, std::string* error);

}  // namespace marlinq::cli
