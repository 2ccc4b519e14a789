// marlinq-cli: the tool driven from a terminal.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "cli/commands.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/termination.h"

namespace {

// The number in the environment variable name, or nullopt when it is unset, empty or not a number.
// Only test runs set the two below; nothing the tool ships does, and a module needs the real pauses.
std::optional<double> TestSetting(const char* name) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return *end == '\0' ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    // MARLINQ_CLOCK_SCALE=0.01 makes a pause of 400 ms take 4 ms (a scale between 0 and 1 only).
    if (const auto scale = TestSetting("MARLINQ_CLOCK_SCALE"); scale && *scale > 0.0 && *scale < 1.0) {
        platform::Clock::SetScale(*scale);
    }
    // On such a clock the fixed pauses before a read take a few milliseconds: MARLINQ_READ_FLOOR_MS=40
    // lets each read wait up to 40 ms for an answer's first byte (1 to 1000 ms).
    std::optional<platform::ScopedSerialReadFloor> readFloor;
    if (const auto ms = TestSetting("MARLINQ_READ_FLOOR_MS"); ms && *ms >= 1 && *ms <= 1000) {
        readFloor.emplace(static_cast<std::uint32_t>(*ms));
    }
    // Before any thread starts, so that termination requests reach only the thread that takes
    // them: `run` closes its window on one, every other command ends at once.
    platform::HoldTerminationRequests();
    platform::OnTerminationRequest({});
    return marlinq::cli::Dispatch(argc, argv);
}
