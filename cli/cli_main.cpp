// marlinq-cli: the tool driven from a terminal.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "cli/commands.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
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

// On such a clock the fixed pauses before a read take a few milliseconds: a test run may let each
// read wait longer for an answer's first byte, MARLINQ_READ_FLOOR_MS=40 up to 40 ms instead of the
// usual floor. Only 1 to 1000 is taken; nothing the tool ships sets it either.
std::optional<std::uint32_t> ReadFloorFromEnvironment() {
    const char* text = std::getenv("MARLINQ_READ_FLOOR_MS");
    if (text == nullptr || *text == '\0') {
        return std::nullopt;
    }
    char* end = nullptr;
    const long ms = std::strtol(text, &end, 10);
    if (*end != '\0' || ms < 1 || ms > 1000) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(ms);
}

}  // namespace

int main(int argc, char** argv) {
    TakeClockScaleFromEnvironment();
    std::optional<platform::ScopedSerialReadFloor> readFloor;
    if (const auto floorMs = ReadFloorFromEnvironment()) {
        readFloor.emplace(*floorMs);
    }
    // Before any thread starts, so that termination requests reach only the thread that takes
    // them: `run` closes its window on one, every other command ends at once.
    platform::HoldTerminationRequests();
    platform::OnTerminationRequest({});
    return marlinq::cli::Dispatch(argc, argv);
}
