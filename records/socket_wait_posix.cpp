#include <poll.h>

#include <cerrno>

#include "records/socket_wait.h"

namespace records {

SocketWait WaitForSocket(int socket, SocketEvent event, std::chrono::steady_clock::time_point deadline) {
    if (socket < 0) {
        return SocketWait::Failed;
    }
    pollfd p{socket, static_cast<short>(event == SocketEvent::Readable ? POLLIN : POLLOUT), 0};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return SocketWait::TimedOut;
        }
        const int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n > 0) {
            return SocketWait::Ready;  // ready, or hung up / in error: the next call tells which
        }
        if (n < 0 && errno != EINTR) {
            return SocketWait::Failed;
        }
        // Timed out (the loop says so) or cut short by a signal: wait for what is left.
    }
}

}  // namespace records
