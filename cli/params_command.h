// marlinq-cli params: every parameter the command line names, without a module.
#pragma once

#include <ostream>

#include "cli/commands.h"

namespace marlinq::cli {

// `params [--json]`: one line per parameter in the window's order (an aligned table), or with
// --json an array of objects: name, label, page, kind, the values it takes, default, read-only
// and the AT command that carries it.
int RunParams(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace marlinq::cli
