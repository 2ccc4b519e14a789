// hold_port N: opens COM N, prints "open" or "failed", and keeps the port until stdin closes.
#include <cstdio>
#include <cstdlib>

#include "atlink/serial_port.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    CSerialPort port;
    const bool open = port.OpenPort(std::atoi(argv[1])) != FALSE;
    std::printf(open ? "open\n" : "failed\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    port.ClosePort();
    return open ? 0 : 1;
}
