// marlinq-cli: the tool driven from a terminal.
#include "cli/commands.h"
#include "platform/termination.h"

int main(int argc, char** argv) {
    // Before any thread starts, so that termination requests reach only the thread that takes
    // them: `run` closes its window on one, every other command ends at once.
    platform::HoldTerminationRequests();
    platform::OnTerminationRequest({});
    return marlinq::cli::Dispatch(argc, argv);
}
