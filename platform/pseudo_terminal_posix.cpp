#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

#include "platform/pseudo_terminal.h"

namespace platform {

namespace {

bool MakeRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

PseudoTerminal::~PseudoTerminal() {
    Close();
}

bool PseudoTerminal::Open(std::string* error) {
    Close();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    char name[128] = {};
    if (::ptsname_r(m_master, name, sizeof name - 1) != 0) {
        *error = "cannot name the pseudo-terminal";
        Close();
        return false;
    }
    m_portPath = name;
    m_keepAlive = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_keepAlive < 0 || !MakeRaw(m_keepAlive) || !MakeRaw(m_master)) {
        *error = std::string("cannot set up the pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

void PseudoTerminal::Close() {
    if (m_keepAlive >= 0) {
        ::close(m_keepAlive);
        m_keepAlive = -1;
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    m_portPath.clear();
}

std::size_t PseudoTerminal::Read(char* buffer, std::size_t maxBytes, int timeoutMs) {
    if (m_master < 0) {
        return 0;
    }
    pollfd pfd{m_master, POLLIN, 0};
    if (::poll(&pfd, 1, timeoutMs) <= 0 || (pfd.revents & POLLIN) == 0) {
        return 0;
    }
    const ssize_t n = ::read(m_master, buffer, maxBytes);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool PseudoTerminal::Write(const char* data, std::size_t length) {
    std::size_t done = 0;
    while (m_master >= 0 && done < length) {
        const ssize_t n = ::write(m_master, data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd pfd{m_master, POLLOUT, 0};
            ::poll(&pfd, 1, 100);
        } else {
            return false;
        }
    }
    return done == length;
}

std::size_t PseudoTerminal::WriteSome(const char* data, std::size_t length) {
    if (m_master < 0) {
        return 0;
    }
    const ssize_t n = ::write(m_master, data, length);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void PseudoTerminal::Discard() {
    if (m_keepAlive >= 0) {
        ::tcflush(m_keepAlive, TCOFLUSH);
    }
    char sink[256];
    while (m_master >= 0 && ::read(m_master, sink, sizeof sink) > 0) {
    }
}

}  // namespace platform
