// marlinq-cli get and download: the parameter flows of the headless main window.
#pragma once

#include <ostream>

#include "cli/commands.h"

namespace marlinq::cli {

// Exit codes of the parameter commands.
inline constexpr int kParamExitDone = 0;
inline constexpr int kParamExitFailed = 1;   // a step failed, a refusal, or no module
inline constexpr int kParamExitUsage = 2;    // bad arguments, unknown parameter, impossible value
inline constexpr int kParamExitDiffers = 3;  // --verify: the module reports other values

// `get [--timeout S] [--set [DIALOG:]ID=VALUE ...] [--out FILE]`: FILE gets the parameter file, as
// Save writes it; without it the parameters are printed.
int RunGet(const Args& args, std::ostream& out, std::ostream& err);
// `download [FILE] [--timeout S] [--page tcp|modbus|https|mqtt] [--set [DIALOG:]ID=VALUE ...] [--verify]`:
// FILE, a parameter file, is loaded before the --set options are applied.
int RunDownload(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace marlinq::cli
