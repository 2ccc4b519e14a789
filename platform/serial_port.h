// Serial port backend: open a numbered COM port, configure it, read and write raw bytes.
//
// Line settings: 115200 baud, 8 data bits, no parity, 1 stop bit, raw bytes (no echo, no line
// discipline, no CR/LF translation, no software flow control). A read waits at most about 20 ms
// (on the scaled clock, see SerialReadWait) and returns what has arrived; a write gives up after
// 2000 ms. A port is exclusive: a second
// open of the same port, from this process or another, fails as busy. Closing releases only the
// claims that this open made.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace platform {

using SerialHandle = std::intptr_t;
inline constexpr SerialHandle kInvalidSerialHandle = -1;

inline constexpr std::uint32_t kSerialReadTimeoutMs = 20;
inline constexpr std::uint32_t kSerialReadFloorMs = 10;
inline constexpr std::uint32_t kSerialWriteTimeoutMs = 2000;
inline constexpr std::uint32_t kSerialBaudRate = 115200;

// The floor of SerialReadWait: kSerialReadFloorMs unless a ScopedSerialReadFloor lives.
std::chrono::milliseconds SerialReadFloor();

// How long a read waits for its first byte: kSerialReadTimeoutMs like every other fixed pause
// (so 20 ms in the product, where the scale is 1), but never under the floor (kSerialReadFloorMs),
// so that a loaded machine running at a small scale still gives an answer on its way the time to
// arrive.
inline std::chrono::milliseconds SerialReadWait() {
    const auto scaled = std::chrono::ceil<std::chrono::milliseconds>(Clock::Scaled(kSerialReadTimeoutMs));
    return std::max(scaled, SerialReadFloor());
}

// While it lives, the floor of every read's wait in this process is floorMs (at least 1 ms, so a
// read still waits). For tests whose module sends nothing in the reads' window (it is silent, or
// its answer comes long after): there the floor gives nothing time to arrive, and a read loop
// that must run to its end need not wait the full floor on each empty read.
class ScopedSerialReadFloor {
  public:
    explicit ScopedSerialReadFloor(std::uint32_t floorMs);
    ~ScopedSerialReadFloor();
    ScopedSerialReadFloor(const ScopedSerialReadFloor&) = delete;
    ScopedSerialReadFloor& operator=(const ScopedSerialReadFloor&) = delete;

  private:
    std::uint32_t m_previous;
};

// Why an open failed.
enum class SerialOpenError {
    None,
    Missing,  // no such port
    Busy,     // another program (or another object of this one) holds the port
    Refused,  // the port exists but the system refused to open it
};

// Opens COM port comNumber (a positive number) for exclusive reading and writing.
// kInvalidSerialHandle when the port does not exist or is held by someone else; *error (when
// given) tells which. An exclusive claim that no live process holds any more (one left by a
// program killed while it held a pseudo-terminal, see tty_claim.h) is cleared and the open goes
// on; *note (when given) then says so, for the traffic log, and is empty otherwise.
SerialHandle SerialOpen(int comNumber, SerialOpenError* error = nullptr, std::string* note = nullptr);

// Applies the line settings and time-outs; false when the driver refuses them.
// The handle stays open either way: the caller closes it.
bool SerialConfigure(SerialHandle handle);

// Writes the bytes, waiting at most 2000 ms; false when the write failed or timed out.
bool SerialWrite(SerialHandle handle, const char* data, std::size_t length);

// Reads at most maxBytes of what has arrived, waiting at most SerialReadWait() for the first byte.
// false when the read could not be started or the device has gone away; *count is 0 when
// nothing arrived.
bool SerialRead(SerialHandle handle, char* buffer, std::size_t maxBytes, std::size_t* count);

// Reads without waiting what has arrived and not been read (at most maxBytes) into *discarded,
// then drops everything still waiting in the input queue, so that the next read sees only what
// arrives from now on.
void SerialDiscardInput(SerialHandle handle, std::string* discarded, std::size_t maxBytes);

// Restores the settings found at open, releases the exclusive claim and closes the handle.
void SerialClose(SerialHandle handle);

}  // namespace platform
