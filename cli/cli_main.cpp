// marlinq-cli: the tool driven from a terminal.
#include "cli/commands.h"
#include "platform/termination.h"

int main(int argc, char** argv) {
    // Before any thread starts, so that a termination request reaches only the thread that
    // closes the window (see `run`).
    platform::HoldTerminationRequests();
    return marlinq::cli::Dispatch(argc, argv);
}
