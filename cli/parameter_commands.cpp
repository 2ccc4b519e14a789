// marlinq-cli get and download: each waits for the module to be ready (so that the scan's version
// read is over), applies every --set to its control in the order given, and presses Get or
// Download on the headless main window. The exit code comes from the flows' own outcome. With
// --json the window's log goes to standard error and standard output gets one JSON object.
#include "cli/parameter_commands.h"

#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <vector>

#include "cli/console_host.h"
#include "cli/failures.h"
#include "cli/module_wait.h"
#include "cli/options.h"
#include "cli/parameter_layout.h"
#include "cli/parameter_report.h"
#include "cli/set_option.h"
#include "cli/window_flows.h"
#include "configfile/config_messages.h"
#include "parameters/module_check.h"
#include "parameters/parameter_names.h"
#include "parameters/parameter_table.h"
#include "platform/save_target.h"
#include "ui/marlinq_dlg.h"
#include "ui/resource.h"

namespace marlinq::cli {

namespace {

constexpr const char* kGetArguments =
    "[--timeout S] [--port N] [--pace fixed|answer] [--set NAME=VALUE ...] [--out FILE | --json]";
constexpr const char* kDownloadArguments =
    "[FILE] [--timeout S] [--port N] [--pace fixed|answer] [--page tcp|modbus|https|mqtt] "
    "[--set NAME=VALUE ...] [--verify] [--json]";

struct ParamOptions {
    long timeoutSeconds = kDefaultTimeoutSeconds;
    int port = 0;                 // --port N: pinned to COM N
    bool versionsAtReady = true;  // Get reads the versions itself
    atlink::Pacing pacing = atlink::Pacing::Fixed;
    std::vector<SetOption> sets;
    std::string out;   // get: the parameter file to write
    std::string file;  // download: the parameter file to load first
    int page = -1;     // download: the mode page to download alone
    bool verify = false;
    bool json = false;
};

const char* const kPageNames[MODE_PAGE_COUNT] = {"tcp", "modbus", "https", "mqtt"};

// Parses the options a command allows; false with the reason.
bool ParseParamOptions(const Args& args, bool download, ParamOptions* o, std::string* error) {
    std::vector<OptionSpec> specs = {TimeoutOption(), PortOption(), PaceOption(), TextsOption("--set"),
                                     FlagOption("--json")};
    if (download) {
        specs.push_back(
            ChoiceOption("--page", std::vector<std::string>(std::begin(kPageNames), std::end(kPageNames))));
        specs.push_back(FlagOption("--verify"));
    } else {
        specs.push_back(TextOption("--out"));
    }
    ParsedArgs parsed;
    if (!ParseArgs(args, specs, &parsed, error)) {
        return false;
    }
    // download takes one parameter file to load first.
    if (download && parsed.rest.size() == 1 && !parsed.rest.front().empty()) {
        o->file = parsed.rest.front();
    } else if (!parsed.rest.empty()) {
        *error = "unexpected argument " + parsed.rest.back();
        return false;
    }
    o->timeoutSeconds = parsed.Value("--timeout", kDefaultTimeoutSeconds);
    o->port = static_cast<int>(parsed.Value("--port", 0));
    o->versionsAtReady = download;
    o->pacing = PaceOf(parsed);
    o->out = parsed.Text("--out");
    o->page = static_cast<int>(parsed.Value("--page", -1));
    o->verify = parsed.Has("--verify");
    o->json = parsed.Has("--json");
    if (o->json && !o->out.empty()) {
        *error = "--out and --json cannot be given together";
        return false;
    }
    const auto sets = parsed.texts.find("--set");
    for (const auto& setting : sets != parsed.texts.end() ? sets->second : std::vector<std::string>{}) {
        SetOption set;
        if (!ParseSetOption(setting, &set, error)) {
            return false;
        }
        o->sets.push_back(set);
    }
    return true;
}

// The values the window shows for rows (every named parameter in the window's order unless given).
std::vector<NamedValue> Shown(CConsoleHost& host, const std::vector<const parameters::ParameterRow*>& rows) {
    return OnWindow(host, [&rows](CMarlinqDlg& d) { return ShownValues(d, rows); });
}

// Waits for the module, loads the parameter file when one is given and applies the --set
// options; false with the exit code after one line on
// err saying why.
bool Prepare(CConsoleHost& host, const char* name, const char* arguments, const ParamOptions& o,
             std::ostream& err, int* code) {
    if (!WaitUntilReady(host, ModuleWait{o.timeoutSeconds, o.port, o.versionsAtReady, o.pacing}, err)) {
        *code = kExitFailed;
        return false;
    }
    if (!o.file.empty()) {
        // Empty when loaded; no value at all when the window is gone.
        const auto why = OnWindow(host, [&o](CMarlinqDlg& d) -> std::optional<std::string> {
            return d.LoadXmlConfig(o.file) != fw::FALSE ? std::string() : d.LastConfigFailure();
        });
        if (!why || !why->empty()) {
            *code = Fail(configfile::LoadFailureLine(o.file, why ? *why : "the window is gone"), err);
            return false;
        }
    }
    for (const auto& set : o.sets) {
        const std::string why = ApplySet(host, set);
        if (!why.empty()) {
            *code = UsageError(name, arguments, "--set " + set.name + ": " + why, err);
            return false;
        }
    }
    return true;
}

// The first line of what was said; empty when nothing was.
std::string FirstLine(const std::string& said) {
    return said.substr(0, said.find('\n'));
}

// Notes line as the report's failure unless an earlier one is there, and prints it on err.
int Failed(ParameterReport& report, const std::string& line, std::ostream& err) {
    if (report.failure.empty()) {
        report.failure = line;
    }
    return Fail(line, err);
}

// Closes the window; with --json prints the report with the exit code the command ends with.
int Finish(CConsoleHost& host, int code, const ParamOptions& o, ParameterReport& report, std::ostream& out) {
    const int closed = host.Close();
    if (code == kExitDone && closed != 0) {
        code = kExitFailed;
        report.failure = "the window ended with exit code " + std::to_string(closed);
    }
    if (o.json) {
        report.exitCode = code;
        out << ReportJson(report) << std::flush;
    }
    return code;
}

// Prepare, with what it says kept as the report's failure.
bool Prepared(CConsoleHost& host, const char* name, const char* arguments, const ParamOptions& o,
              std::ostream& err, ParameterReport& report, int* code) {
    std::ostringstream said;
    const bool ready = Prepare(host, name, arguments, o, said, code);
    err << said.str() << std::flush;
    report.failure = FirstLine(said.str());
    return ready;
}

}  // namespace

int RunGet(const Args& args, std::ostream& out, std::ostream& err) {
    ParamOptions o;
    std::string error;
    if (!ParseParamOptions(args, false, &o, &error)) {
        return UsageError("get", kGetArguments, error, err);
    }
    // A parameter file or a JSON object printed on standard output stays whole: the log goes to
    // standard error.
    const bool documentOnOutput = o.json || (!o.out.empty() && platform::SavesToStandardOutput(o.out));
    CConsoleHost host(documentOnOutput ? err : out);
    ParameterReport report;
    int code = kExitDone;
    if (!Prepared(host, "get", kGetArguments, o, err, report, &code)) {
        return Finish(host, code, o, report, out);
    }
    const parameters::FlowOutcome outcome = Press(host, IDC_BTN_GET);
    if (!o.out.empty()) {
        // The parameter file, as the Save button writes it; only what a whole Get read, so that
        // a failed read never replaces the file's values.
        if (!outcome.Ok()) {
            return Finish(host, Fail(FlowFailure("Get", outcome) + "; " + o.out + " was not written", err), o,
                          report, out);
        }
        const auto why = OnWindow(host, [&o](CMarlinqDlg& d) -> std::optional<std::string> {
            return d.SaveXmlConfig(o.out) != fw::FALSE ? std::string() : d.LastConfigFailure();
        });
        if (!why || !why->empty()) {
            return Finish(host,
                          Fail("cannot write " + o.out + ": " + (why ? *why : "the window is gone"), err), o,
                          report, out);
        }
        out << std::flush;
        return Finish(host, kExitDone, o, report, out);
    }
    // A Get that failed shows stale values beside those it read: only the read ones are
    // reported, and on the lines none at all.
    const auto order = ParametersInWindowOrder();
    const auto read = OnWindow(host, [](CMarlinqDlg& d) { return d.LastGet().ReadRows(); });
    report.values = Shown(host, outcome.Ok() ? order : OnlyRows(order, read));
    report.imsi = OnWindow(host, [](CMarlinqDlg& d) { return d.LastGet().Imsi(); });
    if (outcome.Ok() && !o.json) {
        out << ValueLines(report.values) << std::flush;
    }
    code = outcome.Ok() ? kExitDone : Failed(report, FlowFailureLine(host, "Get", outcome), err);
    return Finish(host, code, o, report, out);
}

int RunDownload(const Args& args, std::ostream& out, std::ostream& err) {
    ParamOptions o;
    std::string error;
    if (!ParseParamOptions(args, true, &o, &error)) {
        return UsageError("download", kDownloadArguments, error, err);
    }
    CConsoleHost host(o.json ? err : out);
    ParameterReport report;
    int code = kExitDone;
    if (!Prepared(host, "download", kDownloadArguments, o, err, report, &code)) {
        return Finish(host, code, o, report, out);
    }
    if (o.page >= 0) {
        host.Main().Call([](fw::CDialog* d) {
            if (d != nullptr) {
                d->CheckDlgButton(IDC_CHK_CURRENT_PAGE_ONLY, fw::BST_CHECKED);
            }
        });
        host.Main().Select(IDC_TAB_MODES, o.page);
        if (OnWindow(host, [](CMarlinqDlg& d) { return d.CurModePage(); }) != o.page) {
            return Finish(
                host,
                Failed(report, std::string("the ") + kPageNames[o.page] + " page could not be shown", err), o,
                report, out);
        }
    }
    const parameters::FlowOutcome outcome = Press(host, IDC_BTN_DOWNLOAD);
    // What the window held for the download, before a verifying Get replaces it.
    report.values = Shown(host, ParametersInWindowOrder());
    std::string failure = outcome.Ok() ? std::string() : FlowFailureLine(host, "Download", outcome);
    code = outcome.Ok() ? kExitDone : kExitFailed;
    if (o.verify) {
        const parameters::ModuleValues sent = OnWindow(host, [](CMarlinqDlg& d) { return d.SentToModule(); });
        const parameters::FlowOutcome read = Press(host, IDC_BTN_GET);
        if (!read.Ok()) {
            // What a failed Get shows is not what the module stores: nothing to compare.
            const std::string getFailure = FlowFailure("Get", read);
            Failed(report, failure.empty() ? getFailure : failure + "; " + getFailure, err);
            return Finish(host, kExitFailed, o, report, out);
        }
        const parameters::ModuleValues reported =
            OnWindow(host, [](CMarlinqDlg& d) { return d.LastGet().Read(); });
        report.imsi = OnWindow(host, [](CMarlinqDlg& d) { return d.LastGet().Imsi(); });
        report.compared = true;
        for (const auto& d : parameters::ModuleDifferences(sent, reported)) {
            const std::string name = d.row != nullptr ? parameters::ParameterName(*d.row) : d.name;
            report.differences.push_back({name, d.sent, d.reported});
            if (!o.json) {
                out << name << ": sent " << d.sent << ", module reports " << d.reported << "\n";
            }
        }
        if (!report.differences.empty()) {
            const std::size_t n = report.differences.size();
            const std::string differ = "the module reports " + std::to_string(n) +
                                       (n == 1 ? " value that differs" : " values that differ");
            failure = failure.empty() ? differ : failure + "; " + differ;
            code = kExitMismatch;
        }
    }
    out << std::flush;
    if (!failure.empty()) {
        Failed(report, failure, err);
    }
    return Finish(host, code, o, report, out);
}

int RunGetCommand(const Args& args) {
    return RunGet(args, std::cout, std::cerr);
}

int RunDownloadCommand(const Args& args) {
    return RunDownload(args, std::cout, std::cerr);
}

}  // namespace marlinq::cli
