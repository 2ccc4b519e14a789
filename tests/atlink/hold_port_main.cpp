// hold_port N [port|excl|flock]: claims COM N, prints "open" or "failed", and keeps the claim
// until stdin closes. "port" opens it as the tool does; "excl" only sets the tty's exclusive
// flag, as a program that knows nothing of advisory locks would; "flock" only takes the lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "atlink/at_serial_port.h"
#include "platform/device_table.h"

namespace {

int ClaimRaw(int com, bool exclusiveFlag) {
    const std::string node = platform::DeviceNodeForCom(com);
    const int fd = node.empty() ? -1 : ::open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    const int rc = exclusiveFlag ? ::ioctl(fd, TIOCEXCL) : ::flock(fd, LOCK_EX | LOCK_NB);
    if (rc != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        return 2;
    }
    const int com = std::atoi(argv[1]);
    const std::string mode = argc == 3 ? argv[2] : "port";
    atlink::CSerialPort port;
    int fd = -1;
    bool open = false;
    if (mode == "port") {
        open = port.OpenPort(com) != atlink::FALSE;
    } else {
        fd = ClaimRaw(com, mode == "excl");
        open = fd >= 0;
    }
    std::printf(open ? "open\n" : "failed\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    port.ClosePort();
    if (fd >= 0) {
        // The flag lives as long as the tty is open anywhere (the simulator keeps it open):
        // a well-behaved program clears it on its way out.
        if (mode == "excl") {
            ::ioctl(fd, TIOCNXCL);
        }
        ::close(fd);
    }
    return open ? 0 : 1;
}
