// marlinq-cli: the tool driven from a terminal.
#include "cli/commands.h"

int main(int argc, char** argv) {
    return marlinq::cli::Dispatch(argc, argv);
}
