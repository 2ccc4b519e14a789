// Whether the values of a parameter file may go to the module as they stand, as a file pushed
// over ADB does: each leaf by the bounds of the parameter table, as a download would check it.
#pragma once

#include <string>

#include "configfile/config_layout.h"

namespace configfile {

// Why the first leaf that cannot be sent cannot ("LogLevel must be one of 1, 2!"); empty when
// every one can. An empty or missing leaf sets nothing and passes; otherwise a list's value must
// be one of its items, a flag "1" or "0", a number or text within its bounds, and the fault
// restart time and network receive cache pass their input rules.
std::string ConfigValuesFault(const ConfigValues& values);

// The same for the file at path; empty also when the file cannot be read as a parameter file
// (what happens to such a file is decided where it is loaded).
std::string ConfigFileValuesFault(const std::string& path);

}  // namespace configfile
