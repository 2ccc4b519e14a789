#include <poll.h>

#include <cerrno>

#include "records/socket_wait.h"

namespace records {

namespace {

SocketWait Wait(int socket, short events, int timeoutMs) {
    pollfd p{socket, events, 0};
    for (;;) {
        const int n = ::poll(&p, 1, timeoutMs);
        if (n > 0) {
            return SocketWait::Ready;  // ready, or hung up / in error: the next call tells which
        }
        if (n == 0) {
            return SocketWait::TimedOut;
        }
        if (errno != EINTR) {
            return SocketWait::Failed;
        }
        // A signal cut the wait short: wait again. The caller's deadline bounds the total.
    }
}

}  // namespace

SocketWait WaitReadable(int socket, int timeoutMs) {
    return Wait(socket, POLLIN, timeoutMs);
}

SocketWait WaitWritable(int socket, int timeoutMs) {
    return Wait(socket, POLLOUT, timeoutMs);
}

}  // namespace records
