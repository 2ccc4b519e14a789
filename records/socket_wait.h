// Waiting for a network socket with a bound, so that a server that went silent never holds the
// caller longer than it allows.
#pragma once

#include <chrono>

namespace records {

enum class SocketWait { Ready, TimedOut, Failed };
enum class SocketEvent { Readable, Writable };

// Waits until socket (a descriptor or a socket handle) has something to read or has been closed
// by the other side (Readable), or can be written to, a connection under way having been made or
// having failed (Writable), at most until deadline: TimedOut once it has passed, Failed for a
// socket that cannot be waited for.
SocketWait WaitForSocket(int socket, SocketEvent event, std::chrono::steady_clock::time_point deadline);

}  // namespace records
