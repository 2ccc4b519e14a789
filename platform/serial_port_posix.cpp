// termios backend of the serial port.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/device_table.h"
#include "platform/serial_port.h"
#include "platform/tty_claim.h"

namespace platform {

namespace {

struct PosixSerial {
    int fd = -1;
    termios saved{};
    bool haveSaved = false;
    bool ownsExclusive = false;  // this open set the tty's exclusive flag
};

PosixSerial* FromHandle(SerialHandle handle) {
    return handle == kInvalidSerialHandle ? nullptr : reinterpret_cast<PosixSerial*>(handle);
}

int MillisLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

SerialOpenError OpenErrorOf(int error) {
    switch (error) {
        case EBUSY:
        case EWOULDBLOCK:
            return SerialOpenError::Busy;
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case ENOTDIR:
            return SerialOpenError::Missing;
        default:
            return SerialOpenError::Refused;
    }
}

// Errors that mean the device itself is gone (unplugged, or the other end hung up).
bool DeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

}  // namespace

SerialHandle SerialOpen(int comNumber, SerialOpenError* error, std::string* note) {
    if (note != nullptr) {
        note->clear();
    }
    SerialOpenError ignored = SerialOpenError::None;
    SerialOpenError& why = error != nullptr ? *error : ignored;
    why = SerialOpenError::None;
    const std::string node = DeviceNodeForCom(comNumber);
    if (node.empty()) {
        why = SerialOpenError::Missing;
        return kInvalidSerialHandle;
    }
    const int fd = ::open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = OpenErrorOf(errno);
        return kInvalidSerialHandle;
    }
    // Both claims are needed: TIOCEXCL does not stop root, and flock alone does not stop a
    // program that ignores advisory locks. A second opener in this process fails on flock too,
    // because every open has its own file description. An exclusive flag that is already set
    // belongs to another program (root gets through the open regardless): that port is busy,
    // and its flag is not ours to clear, unless no live process holds the terminal any more
    // (the flag outlived a program killed while it held a pseudo-terminal). Holding the lock
    // ourselves, we know that no other process holds that.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        why = errno == EWOULDBLOCK ? SerialOpenError::Busy : SerialOpenError::Refused;
        ::close(fd);
        return kInvalidSerialHandle;
    }
    int alreadyExclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &alreadyExclusive) == 0 && alreadyExclusive != 0) {
        if (!ExclusiveClaimIsStale(node) || ::ioctl(fd, TIOCNXCL) != 0) {
            why = SerialOpenError::Busy;
            ::close(fd);
            return kInvalidSerialHandle;
        }
        if (note != nullptr) {
            *note = "cleared the exclusive flag of " + node + ", which no live process held";
        }
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        why = SerialOpenError::Refused;
        ::close(fd);
        return kInvalidSerialHandle;
    }
    auto* port = new PosixSerial;
    port->fd = fd;
    port->ownsExclusive = true;
    port->haveSaved = ::tcgetattr(fd, &port->saved) == 0;
    return reinterpret_cast<SerialHandle>(port);
}

bool SerialConfigure(SerialHandle handle) {
    PosixSerial* port = FromHandle(handle);
    if (port == nullptr || !port->haveSaved) {
        return false;
    }
    termios tio = port->saved;
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                          IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, B115200) != 0 || ::cfsetospeed(&tio, B115200) != 0) {
        return false;
    }
    if (::tcsetattr(port->fd, TCSANOW, &tio) != 0) {
        return false;
    }
    // tcsetattr succeeds when any one change took: read the settings back to be sure.
    termios check{};
    if (::tcgetattr(port->fd, &check) != 0) {
        return false;
    }
    return ::cfgetospeed(&check) == B115200 && (check.c_cflag & CSIZE) == CS8 &&
           (check.c_cflag & PARENB) == 0 && (check.c_lflag & (ICANON | ECHO)) == 0 &&
           (check.c_oflag & OPOST) == 0;
}

bool SerialWrite(SerialHandle handle, const char* data, std::size_t length) {
    PosixSerial* port = FromHandle(handle);
    if (port == nullptr) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSerialWriteTimeoutMs);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(port->fd, data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        const int left = MillisLeft(deadline);
        if (left == 0) {
            return false;
        }
        pollfd pfd{port->fd, POLLOUT, 0};
        ::poll(&pfd, 1, left);
    }
    return true;
}

bool SerialRead(SerialHandle handle, char* buffer, std::size_t maxBytes, std::size_t* count) {
    *count = 0;
    PosixSerial* port = FromHandle(handle);
    if (port == nullptr) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + SerialReadWait();
    bool hungUp = false;
    for (;;) {
        const ssize_t n = ::read(port->fd, buffer, maxBytes);
        if (n > 0) {
            *count = static_cast<std::size_t>(n);
            return true;
        }
        // A raw tty answers "nothing yet" with 0 or EAGAIN. A device that went away answers EIO,
        // or (a hung-up line) 0 together with a hang-up from poll.
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return !DeviceGone(errno);
        }
        if (hungUp) {
            return false;
        }
        const int left = MillisLeft(deadline);
        if (left == 0) {
            return true;
        }
        pollfd pfd{port->fd, POLLIN, 0};
        if (::poll(&pfd, 1, left) <= 0) {
            return true;
        }
        // After a hang-up, one more read takes what is left; then the device is gone.
        hungUp = (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
}

void SerialDiscardInput(SerialHandle handle, std::string* discarded, std::size_t maxBytes) {
    discarded->clear();
    PosixSerial* port = FromHandle(handle);
    if (port == nullptr) {
        return;
    }
    char chunk[256];
    while (discarded->size() < maxBytes) {
        const ssize_t n = ::read(port->fd, chunk, std::min(sizeof chunk, maxBytes - discarded->size()));
        if (n <= 0) {
            break;
        }
        discarded->append(chunk, static_cast<std::size_t>(n));
    }
    ::tcflush(port->fd, TCIFLUSH);
}

void SerialClose(SerialHandle handle) {
    PosixSerial* port = FromHandle(handle);
    if (port == nullptr) {
        return;
    }
    if (port->haveSaved) {
        ::tcsetattr(port->fd, TCSANOW, &port->saved);
    }
    // The exclusive flag belongs to the tty, not to this descriptor: clear the one this open set,
    // so that the next opener is not refused while another descriptor (a simulator's, say)
    // keeps the tty alive.
    if (port->ownsExclusive) {
        ::ioctl(port->fd, TIOCNXCL);
    }
    ::flock(port->fd, LOCK_UN);
    ::close(port->fd);
    delete port;
}

}  // namespace platform
