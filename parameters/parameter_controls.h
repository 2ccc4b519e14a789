// The parameter set on the controls: filling the value lists, the start values, and showing a
// DtuCfgRecord on the TCP/UDP page.
#pragma once

#include "parameters/dtucfg_args.h"
#include "parameters/dtucfg_record.h"
#include "parameters/flow_deps.h"

namespace parameters {

// Adds the items of the value tables in table order and selects their defaults; ticks the "AT"
// radio button and unticks "ADB"; sets the main window's start values (the user name and password
// empty).
void InitParameterControls(fw::IControlAccess& main);

// Sets the controls of dialog whose defaults the window's start sets (kSetAtStart): ticks or
// unticks a box, writes an edit's text.
void SetStartValues(unsigned dialog, fw::IControlAccess& controls);

// Shows record on the TCP/UDP page (and the Type combo of the main window), in this order:
// address and port, Type, RegPacket, the texts, Cloud, URC, ResetTime in minutes. Leaves the hex
// flag, the baud rate and the serial type alone.
void ApplyDtuCfgRecord(fw::IControlAccess& main, fw::IControlAccess& tcp, const DtuCfgRecord& record);

}  // namespace parameters
