#include "tcp_relay.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace testsupport {

namespace {

sockaddr_in LocalAddress(int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    return addr;
}

// Sends all of data; false when the other side is gone.
bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// A connection to the server for one accepted client; -1 when the server cannot be reached.
int ConnectTo(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return -1;
    }
    int fd = -1;
    for (const addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    return fd;
}

}  // namespace

TcpRelay::~TcpRelay() {
    Stop();
}

bool TcpRelay::Start(const std::string& targetHost, int targetPort, std::string* error) {
    Stop();
    m_targetHost = targetHost;
    m_targetPort = targetPort;
    m_port = 0;
    return Listen(error);
}

bool TcpRelay::Restart(std::string* error) {
    Stop();
    return Listen(error);
}

bool TcpRelay::Listen(std::string* error) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    // The port comes back while connections cut by Stop may still linger on it.
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr = LocalAddress(m_port);
    socklen_t length = sizeof addr;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(m_listener, 64) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &length) != 0 ||
        ::pipe2(m_wake, O_CLOEXEC) != 0) {
        *error =
            "the relay cannot listen on 127.0.0.1:" + std::to_string(m_port) + ": " + std::strerror(errno);
        if (m_listener >= 0) {
            ::close(m_listener);
            m_listener = -1;
        }
        return false;
    }
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Relay(); });
    return true;
}

void TcpRelay::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    const char stop = 0;
    while (::write(m_wake[1], &stop, 1) < 0 && errno == EINTR) {
    }
    m_thread.join();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
    m_listener = -1;
    m_wake[0] = m_wake[1] = -1;
}

void TcpRelay::Relay() {
    struct Link {
        int client;
        int server;
    };
    std::vector<Link> links;
    std::vector<char> buffer(65536);
    for (;;) {
        // The wake pipe, the listener, then both ends of every link.
        std::vector<pollfd> fds = {{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        for (const Link& link : links) {
            fds.push_back({link.client, POLLIN, 0});
            fds.push_back({link.server, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (fds[0].revents != 0) {
            break;
        }
        std::vector<Link> kept;
        for (std::size_t i = 0; i < links.size(); ++i) {
            bool open = true;
            for (int side = 0; side < 2 && open; ++side) {
                const pollfd& p = fds[2 + 2 * i + static_cast<std::size_t>(side)];
                if (p.revents == 0) {
                    continue;
                }
                const int to = side == 0 ? links[i].server : links[i].client;
                const ssize_t n = ::read(p.fd, buffer.data(), buffer.size());
                open = n > 0 && SendAll(to, buffer.data(), static_cast<std::size_t>(n));
            }
            if (open) {
                kept.push_back(links[i]);
            } else {
                ::close(links[i].client);
                ::close(links[i].server);
            }
        }
        links = std::move(kept);
        if (fds[1].revents != 0) {
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                const int server = ConnectTo(m_targetHost, m_targetPort);
                if (server >= 0) {
                    links.push_back({client, server});
                } else {
                    ::close(client);
                }
            }
        }
    }
    for (const Link& link : links) {
        ::close(link.client);
        ::close(link.server);
    }
}

}  // namespace testsupport
