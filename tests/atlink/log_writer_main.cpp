// log_writer PATH TAG COUNT SIZE: appends COUNT traffic-log records to PATH, each the letter TAG
// repeated SIZE times, as fast as it can; for the test of several processes sharing one log.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "atlink/at_log.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        return 2;
    }
    const std::string record(static_cast<std::size_t>(std::atoi(argv[4])), argv[2][0]);
    std::FILE* stream = nullptr;
    for (int i = std::atoi(argv[3]); i > 0; --i) {
        atlink::AppendAtLogLine(argv[1], record, true, &stream);
    }
    return 0;
}
