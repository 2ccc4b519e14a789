// The Windows build has no records store yet (SQLite, libpq and nettle are not built for it), and
// provisioning stores a record for every unit: neither command is there.
#include <iostream>

#include "cli/commands.h"
#include "cli/failures.h"

namespace marlinq::cli {

int RunRecordsCommand(const Args&) {
    return Fail("marlinq-cli records: production records are not part of the Windows build yet");
}

int RunProvisionCommand(const Args&) {
    return Fail(
        "marlinq-cli provision: provisioning stores production records, which are not part of the "
        "Windows build yet");
}

int RunProvisionUnitCommand(const Args& args) {
    return RunProvisionCommand(args);
}

}  // namespace marlinq::cli
