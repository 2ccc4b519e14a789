// Compares what a download sent with what the module reports afterwards, for production lines
// that must know the module took every value.
#pragma once

#include <string>
#include <vector>

#include "parameters/flow_deps.h"

namespace parameters {

// The name of DTUCFG field k (1..17): the parameter's name, or what the tool computes there.
std::string DtuCfgFieldName(int field);

// One line "name: sent X, module reports Y" per value that differs; values that were not sent
// are not compared, and a value sent but not read back counts as reported empty.
std::vector<std::string> CompareWithModule(const ModuleValues& sent, const ModuleValues& reported);

}  // namespace parameters
