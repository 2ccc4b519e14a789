// The console's input language: one line drives the window by control id, as a user would.
//
//   click ID | type ID TEXT | focus ID | select ID INDEX | tab INDEX | enter | escape
//   page N <one of the above>     (addresses mode page N of the tab control)
//   about | help | state ID | sleep MS | close
#pragma once

#include <ostream>
#include <string>

#include "cli/console_host.h"

namespace marlinq::cli {

enum class ScriptResult { Ok, Close, Error };

// Runs one line; `state` prints to out. Errors are reported on err.
ScriptResult RunScriptLine(CConsoleHost& host, const std::string& line, std::ostream& out, std::ostream& err);

}  // namespace marlinq::cli
