// The Windows build has no records store yet (SQLite, libpq and nettle are not built for it).
#include <iostream>

#include "cli/commands.h"
#include "cli/failures.h"

namespace marlinq::cli {

int RunRecordsCommand(const Args&) {
    return Fail("marlinq-cli records: production records are not part of the Windows build yet");
}

}  // namespace marlinq::cli
