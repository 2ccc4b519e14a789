// `marlinq-cli run`: the main window headless, driven line by line from standard input.
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/script.h"
#include "platform/console_input.h"
#include "ui/close_on_termination.h"

namespace marlinq::cli {

int RunDialog(const Args& args) {
    if (!args.empty()) {
        std::cerr << "run: takes no arguments\n";
        return 2;
    }
    CConsoleHost host(std::cout, ConfigAtExit::Saved);  // the window: it saves Config.xml on exit
    // SIGTERM, SIGINT or SIGHUP close the window as its close box does, so the exit path runs.
    const CCloseOnTermination closeOnTermination(host.Host());
    if (!host.Start()) {
        return host.Wait();
    }
    int errors = 0;
    std::string line;
    while (platform::ReadConsoleLine(line, [&host] { return host.Ended(); })) {
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
