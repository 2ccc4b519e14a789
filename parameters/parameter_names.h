// Every parameter's name, "<page>.<Name>": the page that shows it ("main" for the main window,
// "tcp", "modbus", "https", "mqtt" for the mode pages) and the row's name, which is the Config.xml
// leaf name where the file carries the parameter ("tcp.Port", "main.BaudRate", "mqtt.ClientId").
// The command line, its JSON output and the production records speak these names.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "parameters/parameter_table.h"

namespace parameters {

// The pages' names in the window's order: the main window, then the mode pages as their tabs
// stand.
std::span<const char* const> PageNames();

// The name of the page that holds dialog's controls; nullptr for a dialog that holds none.
const char* PageName(unsigned dialog);

// The row's name; empty for a row without a control (a Fixed Config.xml leaf).
std::string ParameterName(const ParameterRow& row);

// The row named name, compared without regard to ASCII case; nullptr when no row has that name.
const ParameterRow* FindParameterNamed(std::string_view name);

// Every named row, in table order.
std::vector<const ParameterRow*> NamedParameters();

}  // namespace parameters
