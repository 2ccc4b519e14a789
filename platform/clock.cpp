#include "platform/clock.h"

#include <atomic>
#include <thread>

namespace platform {

namespace {
std::atomic<double> g_scale{1.0};
}

void Clock::Pause(std::uint32_t ms) {
    std::this_thread::sleep_for(Scaled(ms));
}

Clock::Duration Clock::Scaled(std::uint32_t ms) {
    const double micros = static_cast<double>(ms) * 1000.0 * g_scale.load(std::memory_order_relaxed);
    return std::chrono::duration_cast<Duration>(std::chrono::duration<double, std::micro>(micros));
}

void Clock::SetScale(double scale) {
    g_scale.store(scale > 0.0 ? scale : 1.0, std::memory_order_relaxed);
}

double Clock::Scale() {
    return g_scale.load(std::memory_order_relaxed);
}

}  // namespace platform
