// marlinq-cli: the tool driven from a terminal.
#include <cstdlib>

#include "cli/commands.h"
#include "platform/clock.h"
#include "platform/termination.h"

namespace {

// Test runs speed the tool's pauses up: MARLINQ_CLOCK_SCALE=0.01 makes a pause of 400 ms take
// 4 ms. Only a scale between 0 and 1 is taken. A module needs the real pauses; nothing the tool
// ships sets it.
void TakeClockScaleFromEnvironment() {
    const char* text = std::getenv("MARLINQ_CLOCK_SCALE");
    if (text == nullptr || *text == '\0') {
        return;
    }
    char* end = nullptr;
    const double scale = std::strtod(text, &end);
    if (*end == '\0' && scale > 0.0 && scale < 1.0) {
        platform::Clock::SetScale(scale);
    }
}

}  // namespace

int main(int argc, char** argv) {
    TakeClockScaleFromEnvironment();
    // Before any thread starts, so that termination requests reach only the thread that takes
    // them: `run` closes its window on one, every other command ends at once.
    platform::HoldTerminationRequests();
    platform::OnTerminationRequest({});
    return marlinq::cli::Dispatch(argc, argv);
}
