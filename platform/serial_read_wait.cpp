#include "platform/serial_port.h"

#include <algorithm>
#include <atomic>

namespace platform {

namespace {
std::atomic<std::uint32_t> g_readFloorMs{kSerialReadFloorMs};
}  // namespace

std::chrono::milliseconds SerialReadFloor() {
    return std::chrono::milliseconds(g_readFloorMs.load(std::memory_order_relaxed));
}

ScopedSerialReadFloor::ScopedSerialReadFloor(std::uint32_t floorMs)
    : m_previous(g_readFloorMs.exchange(std::max<std::uint32_t>(floorMs, 1), std::memory_order_relaxed)) {}

ScopedSerialReadFloor::~ScopedSerialReadFloor() {
    g_readFloorMs.store(m_previous, std::memory_order_relaxed);
}

}  // namespace platform
