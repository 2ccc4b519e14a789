// Waiting for a network socket with a bound, so that a server that went silent never holds the
// caller longer than it allows.
#pragma once

namespace records {

enum class SocketWait { Ready, TimedOut, Failed };

// Waits until socket (a descriptor or a socket handle) has something to read or has been closed
// by the other side, at most timeoutMs milliseconds.
SocketWait WaitReadable(int socket, int timeoutMs);

// Waits until socket can be written to (a connection under way has been made or has failed), at
// most timeoutMs milliseconds.
SocketWait WaitWritable(int socket, int timeoutMs);

}  // namespace records
