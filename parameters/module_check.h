// Compares what a download sent with what the module reports afterwards, for production lines
// that must know the module took every value.
#pragma once

#include <string>
#include <vector>

#include "parameters/flow_deps.h"
#include "parameters/parameter_table.h"

namespace parameters {

// The name of DTUCFG field k (1..17): the parameter's name, or what the tool computes there.
std::string DtuCfgFieldName(int field);

// A value the module stores otherwise than it was sent. row: the parameter the value belongs to;
// nullptr for a value the tool computes (the server and MODBUS command counts, DTUCFG field 11),
// which name names as DtuCfgFieldName does.
struct ModuleDifference {
    const ParameterRow* row = nullptr;
    std::string name;
    std::string sent;
    std::string reported;
};

// Every value that differs, DTUCFG fields first (in field order), then the network values.
std::vector<ModuleDifference> ModuleDifferences(const ModuleValues& sent, const ModuleValues& reported);

// One line "name: sent X, module reports Y" per value that differs; values that were not sent
// are not compared, and a value sent but not read back counts as reported empty.
std::vector<std::string> CompareWithModule(const ModuleValues& sent, const ModuleValues& reported);

}  // namespace parameters
