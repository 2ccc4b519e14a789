#include <poll.h>

#include <cerrno>

#include "records/socket_wait.h"

namespace records {

SocketWait WaitReadable(int socket, int timeoutMs) {
    pollfd p{socket, POLLIN, 0};
    for (;;) {
        const int n = ::poll(&p, 1, timeoutMs);
        if (n > 0) {
            return SocketWait::Ready;  // readable, or hung up / in error: the read tells which
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

}  // namespace records
