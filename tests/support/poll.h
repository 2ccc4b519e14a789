// Waiting in a test for what another thread or process brings about.
#pragma once

#include <chrono>
#include <thread>

namespace testsupport {

// Long enough for a loaded machine; reached only when the code under test is broken.
inline constexpr std::chrono::milliseconds kPollBound{10000};
// Short, so that a wait ends about as soon as its condition holds.
inline constexpr std::chrono::milliseconds kPollInterval{1};

// Checks cond every interval until it holds (true) or bound has passed (false, after a last
// look). cond may do a step of its own first, such as running pending events; a cond that costs
// more than a glance (reading a database) takes a longer interval, so as not to crowd out the
// processes it waits for.
template <class Cond>
bool PollUntil(Cond&& cond, std::chrono::milliseconds bound = kPollBound,
               std::chrono::milliseconds interval = kPollInterval) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= end) {
            return cond();
        }
        std::this_thread::sleep_for(interval);
    }
    return true;
}

}  // namespace testsupport
