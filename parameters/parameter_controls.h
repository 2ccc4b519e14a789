// The parameter set on the controls: filling the value lists, reading the values the DTUCFG
// download needs, and showing a DtuCfgRecord on the TCP/UDP page.
#pragma once

#include "parameters/dtucfg_args.h"
#include "parameters/dtucfg_record.h"
#include "parameters/flow_deps.h"

namespace parameters {

// Adds the items of the value tables in table order and selects their defaults; ticks the "AT"
// radio button and unticks "ADB"; empties the user name and password.
void InitParameterControls(fw::IControlAccess& main);

// The values BuildDtuCfgArgs and the input rules read, from the main window, the TCP/UDP page and
// the MODBUS page.
DtuCfgValues ReadDtuCfgValues(const fw::IControlAccess& main, const fw::IControlAccess& tcp,
                              const fw::IControlAccess& modbus);

// Shows record on the TCP/UDP page (and the Type combo of the main window), in this order:
// address and port, Type, RegPacket, the texts, Cloud, URC, ResetTime in minutes. Leaves the hex
// flag, the baud rate and the serial type alone.
void ApplyDtuCfgRecord(fw::IControlAccess& main, fw::IControlAccess& tcp, const DtuCfgRecord& record);

}  // namespace parameters
