// Pauses and time for the whole system.
//
// Every fixed pause goes through Clock::Pause so that tests can run the real code faster:
// a process-wide scale (1.0 in the product) multiplies every pause.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

class Clock {
  public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    // Blocks the calling thread for ms milliseconds times the current scale.
    static void Pause(std::uint32_t ms);

    // The real duration that a pause of ms milliseconds takes at the current scale.
    static Duration Scaled(std::uint32_t ms);

    // Sets the scale of all pauses (for example 0.01 in tests). Values <= 0 are taken as 1.
    static void SetScale(double scale);
    static double Scale();

    static TimePoint Now() { return std::chrono::steady_clock::now(); }
};

// Restores the previous scale when it goes out of scope; for tests.
class ScopedClockScale {
  public:
    explicit ScopedClockScale(double scale) : m_previous(Clock::Scale()) { Clock::SetScale(scale); }
    ~ScopedClockScale() { Clock::SetScale(m_previous); }
    ScopedClockScale(const ScopedClockScale&) = delete;
    ScopedClockScale& operator=(const ScopedClockScale&) = delete;

  private:
    double m_previous;
};

// While it lives, every Clock::Pause made on the thread that created it is reported to onPause
// (with its length before scaling) before the pause begins. Tests use it to see which pauses a
// piece of code makes and in what order, instead of measuring time.
class ScopedPauseObserver {
  public:
    explicit ScopedPauseObserver(std::function<void(std::uint32_t ms)> onPause);
    ~ScopedPauseObserver();
    ScopedPauseObserver(const ScopedPauseObserver&) = delete;
    ScopedPauseObserver& operator=(const ScopedPauseObserver&) = delete;

  private:
    std::function<void(std::uint32_t)> m_onPause;
    ScopedPauseObserver* m_previous;

    friend class Clock;
};

}  // namespace platform
