#include "cli/command_help.h"

#include <algorithm>
#include <string>

namespace marlinq::cli {

namespace {

const std::vector<OptionHelp>& Options() {
    static const std::vector<OptionHelp> options = {
        {"--timeout",
         "S",
         WordKind::Number,
         "how long to wait for the module, 1 to 86400 seconds (default 30)",
         {}},
        {"--json",
         "",
         WordKind::None,
         "one JSON object on standard output (command, ok, exit, failure and what the command got); "
         "the log goes to standard error",
         {}},
        {"--port",
         "N",
         WordKind::Number,
         "COM N (1 to 99999) only: send sends straight to it without the window; the other commands hold "
         "it from the first request to the last and never look for another port",
         {}},
        {"--pace",
         "PACE",
         WordKind::Choice,
         "how each AT request waits for its answer: fixed, the fixed pauses of every request (the "
         "default); answer, reads until the answer's final line came (at most 5 s) and only the short "
         "settle time between requests, and a reset waits until the port is back and answers AT",
         {"fixed", "answer"}},
        {"--out",
         "FILE",
         WordKind::File,
         "writes the parameter file FILE as Save does; \"-\" prints it on standard output",
         {}},
        {"--set",
         "NAME=VALUE ...",
         WordKind::Setting,
         "sets parameters before the flow, in the order given: NAME is a parameter name such as "
         "tcp.Port, or [DIALOG:]ID; one or more settings up to the next option, and it may be given again",
         {}},
        {"--page",
         "PAGE",
         WordKind::Choice,
         "downloads only that mode page, shown first",
         {"tcp", "modbus", "https", "mqtt"}},
        {"--verify",
         "",
         WordKind::None,
         "reads the module back after the download and lists every value it stored otherwise (exit 3)",
         {}},
        {"--since",
         "DATE",
         WordKind::Text,
         "only records started then or later: a date (2026-12-10, from its midnight UTC) or a UTC time "
         "(2026-12-10T02:23:00Z)",
         {}},
        {"--imsi", "X", WordKind::Text, "only the records of the unit with IMSI X", {}},
        {"--failed", "", WordKind::None, "only the failed and mismatch records", {}},
        {"--csv", "", WordKind::None, "CSV: a header line and one line per record", {}},
        {"--where", "", WordKind::None, "prints where the records file is", {}},
        {"--ports",
         "all|N,M,...",
         WordKind::Text,
         "the AT ports to provision: all that are present (the default), or these COM numbers",
         {}},
        {"--watch",
         "",
         WordKind::None,
         "keeps running and provisions each AT port that appears, once, until Ctrl+C",
         {}},
        {"--again",
         "",
         WordKind::None,
         "provisions units whose IMSI already passed with this parameter file",
         {}},
        {"--jobs",
         "K",
         WordKind::Number,
         "at most K units at once, 1 to 64 (default: every unit at once)",
         {}},
        {"--record",
         "URL",
         WordKind::Text,
         "the line's shared database postgresql://user@host:port/db for the records (kept in the local "
         "records file, unsent, while it cannot be reached); without it the records go to the local file "
         "(marlinq-cli records --where)",
         {}},
        {"--sync",
         "URL",
         WordKind::Text,
         "sends the records that wait to the shared database postgresql://user@host:port/db",
         {}},
    };
    return options;
}

const std::vector<CommandHelp>& Commands() {
    static const std::vector<CommandHelp> commands = {
        {"run",
         WordKind::None,
         {},
         {},
         "Lines on standard input drive the window (\"click 1033\", \"type 1067 AT+CSQ\", \"enter\",\n"
         "\"tab 3\", \"state 1070\", \"close\"); the end of the input closes it. The only command that\n"
         "saves Config.xml on exit, as the window does."},
        {"scan",
         WordKind::None,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "Exit 0 once the module is ready, 1 when the time-out passes first."},
        {"send",
         WordKind::Text,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "TEXT goes out with CR LF added; the answer is printed. Exit 0 when an answer came."},
        {"csq",
         WordKind::None,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "Sends AT+CSQ with the console's CSQ button."},
        {"network",
         WordKind::None,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "Sends AT+CPSI? with the console's Network button."},
        {"simcard",
         WordKind::None,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "Sends AT+CPIN? with the console's SIMCard button."},
        {"dtucfg",
         WordKind::None,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "Sends AT+DTUCFG? with the console's DTUCFG button."},
        {"reset",
         WordKind::None,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "Resets the module; ends once the reset worker has restarted the scan (about 20 s; with --pace\n"
         "answer as soon as the module answers AT again)."},
        {"push",
         WordKind::File,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "Pushes FILE into the module's /cache over ADB, switching ADB on (and resetting the module)\n"
         "when needed. A FILE that does not exist is refused before anything is done to the module."},
        {"factory-reset",
         WordKind::None,
         {},
         {"--timeout", "--port", "--pace", "--json"},
         "Loads Default.xml beside the program into the window and pushes it over ADB."},
        {"get",
         WordKind::None,
         {},
         {"--timeout", "--port", "--pace", "--set", "--out", "--json"},
         "Exit 0 when every read succeeded, 1 otherwise; with --out, FILE is written only then."},
        {"download",
         WordKind::File,
         {},
         {"--timeout", "--port", "--pace", "--page", "--set", "--verify", "--json"},
         "FILE, a parameter file, is loaded first when given; then each --set, then Download."},
        {"convert",
         WordKind::File,
         {},
         {"--out"},
         "Loads the parameter file FILE as Import does and saves it as FILE2 as Save does; no module\n"
         "needed."},
        {"params",
         WordKind::None,
         {},
         {"--json"},
         "Every parameter: its name, the label the window shows, page, kind, values, default and the AT\n"
         "command that carries it; no module needed."},
        {"records",
         WordKind::None,
         {},
         {"--since", "--imsi", "--failed", "--csv", "--json", "--where", "--sync"},
         "Lists the production records of this station, oldest first (a table; with --json an array of\n"
         "records). --where and --sync stand alone; --sync says how many records it sent."},
        {"provision",
         WordKind::File,
         {},
         {"--set", "--ports", "--watch", "--again", "--jobs", "--record", "--timeout", "--pace", "--json"},
         "Each unit, in a process of its own: Get, FILE (a parameter file) and each --set, Download, and\n"
         "a Get that checks the module stored every value; then its record, then its line. A --set value\n"
         "may hold {IMSI}, {COM} and {APP}, the unit's own IMSI, port number and application version.\n"
         "Exit 0 when every unit passed, 3 when one mismatched and none failed, 1 when one failed."},
        {"help", WordKind::CommandName, {}, {}, "Without COMMAND the list of commands."},
        {"completion",
         WordKind::Choice,
         {"bash"},
         {},
         "Prints a completion script for bash: source <(marlinq-cli completion bash)"},
    };
    return commands;
}

}  // namespace

std::span<const OptionHelp> OptionHelps() {
    return Options();
}

const OptionHelp* FindOptionHelp(std::string_view name) {
    const auto& options = Options();
    const auto it =
        std::find_if(options.begin(), options.end(), [&](const OptionHelp& o) { return o.name == name; });
    return it != options.end() ? &*it : nullptr;
}

std::span<const CommandHelp> CommandHelps() {
    return Commands();
}

const CommandHelp* FindCommandHelp(std::string_view name) {
    const auto& commands = Commands();
    const auto it =
        std::find_if(commands.begin(), commands.end(), [&](const CommandHelp& c) { return c.name == name; });
    return it != commands.end() ? &*it : nullptr;
}

void PrintCommandHelp(const char* usage, const CommandHelp& help, std::ostream& out) {
    out << "usage: marlinq-cli " << usage << "\n";
    if (help.details[0] != '\0') {
        out << "\n" << help.details << "\n";
    }
    std::vector<std::pair<std::string, const char*>> rows;
    std::size_t width = 0;
    for (const char* name : help.options) {
        const OptionHelp* option = FindOptionHelp(name);
        if (option == nullptr) {
            continue;
        }
        std::string left = option->name;
        if (option->value[0] != '\0') {
            left += std::string(" ") + option->value;
        }
        width = std::max(width, left.size());
        rows.emplace_back(left, option->what);
    }
    if (!rows.empty()) {
        out << "\noptions:\n";
    }
    for (const auto& [left, what] : rows) {
        out << "  " << left << std::string(width - left.size() + 2, ' ') << what << "\n";
    }
}

}  // namespace marlinq::cli
