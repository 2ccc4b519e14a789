// marlinq-cli get and download: the parameter flows of the headless main window.
#pragma once

#include <ostream>

#include "cli/commands.h"

namespace marlinq::cli {

// Exit codes are those of cli/failures.h; every failure is one line on err.
// `get [--timeout S] [--set [DIALOG:]ID=VALUE ...] [--out FILE]`: FILE gets the parameter file, as
// Save writes it, once every read of the Get succeeded; without it the parameters are printed.
int RunGet(const Args& args, std::ostream& out, std::ostream& err);
// `download [FILE] [--timeout S] [--page tcp|modbus|https|mqtt] [--set [DIALOG:]ID=VALUE ...] [--verify]`:
// FILE, a parameter file, is loaded before the --set options are applied.
int RunDownload(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace marlinq::cli
