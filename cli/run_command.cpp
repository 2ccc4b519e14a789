// `marlinq-cli run`: the main window headless, driven line by line from standard input.
#include <poll.h>
#include <unistd.h>

#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/script.h"

namespace marlinq::cli {

namespace {

// Reads one line from standard input, giving up when the window has ended meanwhile.
bool ReadLine(CConsoleHost& host, std::string& line) {
    line.clear();
    for (;;) {
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&fd, 1, 100);
        if (host.Ended()) {
            return false;
        }
        if (ready <= 0) {
            continue;
        }
        char c = 0;
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n <= 0) {
            return !line.empty();
        }
        if (c == '\n') {
            return true;
        }
        line += c;
    }
}

}  // namespace

int RunDialog(const Args& args) {
    if (!args.empty()) {
        std::cerr << "run: takes no arguments\n";
        return 2;
    }
    CConsoleHost host(std::cout);
    if (!host.Start()) {
        return host.Wait();
    }
    int errors = 0;
    std::string line;
    while (ReadLine(host, line)) {
        const ScriptResult r = RunScriptLine(host, line, std::cout, std::cerr);
        if (r == ScriptResult::Close) {
            break;
        }
        errors += r == ScriptResult::Error ? 1 : 0;
    }
    const int code = host.Close();
    return code != 0 ? code : (errors != 0 ? 1 : 0);
}

}  // namespace marlinq::cli
