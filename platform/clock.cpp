#include "platform/clock.h"

#include <atomic>
#include <thread>

namespace platform {

namespace {
std::atomic<double> g_scale{1.0};
thread_local ScopedPauseObserver* t_observer = nullptr;
}  // namespace

void Clock::Pause(std::uint32_t ms) {
    if (t_observer != nullptr && t_observer->m_onPause) {
        t_observer->m_onPause(ms);
    }
    std::this_thread::sleep_for(Scaled(ms));
}

ScopedPauseObserver::ScopedPauseObserver(std::function<void(std::uint32_t ms)> onPause)
    : m_onPause(std::move(onPause)), m_previous(t_observer) {
    t_observer = this;
}

ScopedPauseObserver::~ScopedPauseObserver() {
    t_observer = m_previous;
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
