// marlinq-cli records: the production records of this station, and sending those that wait.
#pragma once

#include <ostream>

#include "cli/commands.h"

namespace marlinq::cli {

// `records [--since DATE] [--imsi X] [--failed] [--csv|--json]` lists the records of the local
// file (a table by default); `records --where` prints where the file is; `records --sync URL`
// sends the records that wait to the shared database and says how many. Exit 0 when done, 1 when
// the file or the database failed (one line on err), 2 on bad arguments.
int RunRecords(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace marlinq::cli
