#include "cli/module_wait.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "cli/failures.h"
#include "platform/clock.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace marlinq::cli {

OptionSpec TimeoutOption() {
    return NumberOption("--timeout", 1, kMaxTimeoutSeconds);
}

OptionSpec PortOption() {
    return NumberOption("--port", 1, kMaxComNumber);
}

namespace {
// How often a wait for the window looks again: what it waits for (the readiness line, Get enabled
// after the version reads) comes a few milliseconds apart, and each look is cheap.
constexpr std::chrono::milliseconds kLookEvery{1};

// In the order of atlink::Pacing, whose index the parsed choice is.
const std::vector<std::string> kPaceNames = {std::string(atlink::PacingName(atlink::Pacing::Fixed)),
                                             std::string(atlink::PacingName(atlink::Pacing::Answer))};
}  // namespace

OptionSpec PaceOption() {
    return ChoiceOption("--pace", kPaceNames);
}

atlink::Pacing PaceOf(const ParsedArgs& parsed) {
    return parsed.Value("--pace", 0) == 1 ? atlink::Pacing::Answer : atlink::Pacing::Fixed;
}

std::chrono::milliseconds Seconds(long seconds) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        platform::Clock::Scaled(static_cast<std::uint32_t>(seconds) * 1000u));
}

namespace {

bool IsReadyLine(const std::string& line) {
    return line.rfind("Equipment ready [AT:COM", 0) == 0;
}

// The port's own failure among the pinned session's commands so far; empty when there is none
// that waiting would mend.
std::string PinnedPortFailure(CConsoleHost& host) {
    const atlink::AtOutcomeReport report = host.Main().Call([](fw::CDialog* d) {
        return d != nullptr ? static_cast<CMarlinqDlg*>(d)->At().FirstPortFailure()
                            : atlink::AtOutcomeReport{};
    });
    switch (report.outcome) {
        case atlink::AtOutcome::NoSuchPort:
        case atlink::AtOutcome::Busy:
        case atlink::AtOutcome::CannotOpen:
            return DescribeFailure(report, kCycleWindowText);
        default:
            return {};
    }
}

// Waits for the pinned scan's readiness line; false after the failure line.
bool WaitForPinnedPort(CConsoleHost& host, const ModuleWait& wait, std::ostream& err) {
    const auto deadline = std::chrono::steady_clock::now() + Seconds(wait.timeoutSeconds);
    for (;;) {
        const auto lines = host.View().Lines();
        if (std::any_of(lines.begin(), lines.end(), IsReadyLine)) {
            return true;
        }
        if (const std::string failure = PinnedPortFailure(host); !failure.empty()) {
            Fail(failure, err);
            return false;
        }
        if (host.Ended() || std::chrono::steady_clock::now() > deadline) {
            Fail("COM" + std::to_string(wait.port) + " did not answer AT with OK within " +
                     std::to_string(wait.timeoutSeconds) + " s",
                 err);
            return false;
        }
        std::this_thread::sleep_for(kLookEvery);
    }
}

}  // namespace

bool WaitUntilReady(CConsoleHost& host, long timeoutSeconds, std::ostream& err) {
    return WaitUntilReady(host, ModuleWait{timeoutSeconds, 0, true, atlink::Pacing::Fixed}, err);
}

bool WaitUntilReady(CConsoleHost& host, const ModuleWait& wait, std::ostream& err) {
    const long timeoutSeconds = wait.timeoutSeconds;
    host.Host().App().SetPacing(wait.pacing);
    if (wait.port > 0) {
        host.Host().App().PinSession(wait.port, wait.versionsAtReady);
    }
    if (!host.Start()) {
        Fail("the main window did not start", err);
        return false;
    }
    if (wait.port > 0 && !WaitForPinnedPort(host, wait, err)) {
        return false;
    }
    // The window is shown at once and starts its scan at the first tick of its start timer: the
    // time-out counts from the start of the scan.
    const auto scanStart =
        std::chrono::duration_cast<std::chrono::milliseconds>(platform::Clock::Scaled(TIMER_START_SCAN_MS));
    const int ready = host.View().WaitForLine(0, IsReadyLine, scanStart + Seconds(timeoutSeconds));
    if (ready < 0) {
        Fail("no module found within " + std::to_string(timeoutSeconds) + " s", err);
        return false;
    }
    // The scanner reads the versions right after the line and then enables the buttons: the
    // port is free once Get is enabled.
    const auto deadline = std::chrono::steady_clock::now() + Seconds(timeoutSeconds);
    while (!host.Main().Enabled(IDC_BTN_GET)) {
        if (host.Ended() || std::chrono::steady_clock::now() > deadline) {
            Fail("the module was found but did not become ready within " + std::to_string(timeoutSeconds) +
                     " s",
                 err);
            return false;
        }
        std::this_thread::sleep_for(kLookEvery);
    }
    return true;
}

int ReadyPort(CConsoleHost& host) {
    const std::string prefix = "Equipment ready [AT:COM";
    const std::vector<std::string> lines = host.View().Lines();
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->rfind(prefix, 0) != 0) {
            continue;
        }
        // Bounded: a COM number has at most five digits.
        int port = 0;
        for (std::size_t i = prefix.size(); i < line->size() && i < prefix.size() + 5; ++i) {
            const char c = (*line)[i];
            if (c < '0' || c > '9') {
                break;
            }
            port = port * 10 + (c - '0');
        }
        return port;
    }
    return 0;
}

}  // namespace marlinq::cli
