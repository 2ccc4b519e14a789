// marlinq-cli provision-unit --port N: one unit of a provisioning run, in a process of its own that
// the provisioning command starts and follows. On the module pinned to COM N: Get (versions, IMSI,
// parameters), the parameter file and each --set (with the unit's own facts), Download, and a
// verifying Get compared with what was sent. Its steps and results go to standard output as report
// lines (cli/unit_report.h); the window's log goes to standard error.
#include <iostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/failures.h"
#include "cli/module_wait.h"
#include "cli/options.h"
#include "cli/parameter_layout.h"
#include "cli/parameter_report.h"
#include "cli/unit_report.h"
#include "cli/unit_values.h"
#include "cli/window_flows.h"
#include "configfile/config_messages.h"
#include "parameters/module_check.h"
#include "parameters/parameter_names.h"
#include "records/sqlite_store.h"
#include "ui/resource.h"

namespace marlinq::cli {

namespace {

constexpr const char* kArguments =
    "--port N [FILE] [--set NAME=VALUE ...] [--timeout S] [--pace fixed|answer] "
    "[--skip-passed DIGEST --records FILE]";

struct UnitOptions {
    int port = 0;
    std::string file;
    std::vector<std::string> sets;
    long timeoutSeconds = kDefaultTimeoutSeconds;
    std::string skipDigest;  // the run's parameter file: a unit that passed with it is skipped
    std::string recordsFile;
    atlink::Pacing pacing = atlink::Pacing::Fixed;
};

bool ParseUnitOptions(const Args& args, UnitOptions* o, std::string* error) {
    const std::vector<OptionSpec> specs = {
        PortOption(), TextsOption("--set"),        TimeoutOption(),
        PaceOption(), TextOption("--skip-passed"), TextOption("--records")};
    ParsedArgs parsed;
    if (!ParseArgs(args, specs, &parsed, error)) {
        return false;
    }
    if (!parsed.Has("--port")) {
        *error = "--port is needed";
        return false;
    }
    if (parsed.rest.size() > 1) {
        *error = "unexpected argument " + parsed.rest.back();
        return false;
    }
    o->port = static_cast<int>(parsed.Value("--port", 0));
    o->file = parsed.rest.empty() ? std::string() : parsed.rest.front();
    if (const auto sets = parsed.texts.find("--set"); sets != parsed.texts.end()) {
        o->sets = sets->second;
    }
    o->timeoutSeconds = parsed.Value("--timeout", kDefaultTimeoutSeconds);
    o->skipDigest = parsed.Text("--skip-passed");
    o->recordsFile = parsed.Text("--records");
    o->pacing = PaceOf(parsed);
    if (o->skipDigest.empty() != o->recordsFile.empty()) {
        *error = "--skip-passed and --records go together";
        return false;
    }
    return true;
}

// A difference's name as records keep it: the parameter's, or for a value the tool computes
// ("ServerCount", "DTUCFG field 11") one under dtucfg.
std::string DifferenceName(const parameters::ModuleDifference& d) {
    if (d.row != nullptr && !parameters::ParameterName(*d.row).empty()) {
        return parameters::ParameterName(*d.row);
    }
    std::string name = "dtucfg.";
    for (const char c : d.name) {
        if (c != ' ') {
            name += c;
        }
    }
    return name;
}

class Unit {
  public:
    Unit(const UnitOptions& o, std::ostream& out, std::ostream& err)
        : m_o(o), m_out(out), m_err(err), m_host(err) {}

    int Run() {
        Step(UnitStep::Reading);
        std::ostringstream said;
        if (!WaitUntilReady(m_host, ModuleWait{m_o.timeoutSeconds, m_o.port, false, m_o.pacing}, said)) {
            return End(UnitOutcome::Failed, said.str().substr(0, said.str().find('\n')));
        }
        const parameters::FlowOutcome get = Press(m_host, IDC_BTN_GET);
        ReportModule();
        if (!get.Ok()) {
            return End(UnitOutcome::Failed, FlowFailureLine(m_host, "Get", get));
        }
        if (!m_o.skipDigest.empty()) {
            if (const auto skip = AlreadyPassed(); !skip.empty()) {
                return End(UnitOutcome::Skipped, skip);
            }
        }
        if (const std::string why = ApplyValues(); !why.empty()) {
            return End(UnitOutcome::Failed, why);
        }

        Step(UnitStep::Downloading);
        for (const auto& v :
             OnWindow(m_host, [](CMarlinqDlg& d) { return ShownValues(d, ParametersInWindowOrder()); })) {
            if (v.row != nullptr && (v.row->flags & parameters::kReadOnly) == 0) {
                Emit(UnitSentLine(v.name, v.value));
            }
        }
        const parameters::FlowOutcome download = Press(m_host, IDC_BTN_DOWNLOAD);
        if (!download.Ok()) {
            return End(UnitOutcome::Failed, FlowFailureLine(m_host, "Download", download));
        }

        Step(UnitStep::Verifying);
        const auto sent = OnWindow(m_host, [](CMarlinqDlg& d) { return d.SentToModule(); });
        const parameters::FlowOutcome verify = Press(m_host, IDC_BTN_GET);
        if (!verify.Ok()) {
            return End(UnitOutcome::Failed, FlowFailureLine(m_host, "Get", verify));
        }
        const auto reported = OnWindow(m_host, [](CMarlinqDlg& d) { return d.LastGet().Read(); });
        const auto differences = parameters::ModuleDifferences(sent, reported);
        for (const auto& d : differences) {
            Emit(UnitDifferenceLine({DifferenceName(d), d.sent, d.reported}));
        }
        if (!differences.empty()) {
            const auto& first = differences.front();
            std::string message =
                DifferenceName(first) + " sent " + first.sent + ", module reports " + first.reported;
            if (differences.size() > 1) {
                message += " (" + std::to_string(differences.size()) + " values differ)";
            }
            return End(UnitOutcome::Mismatch, message);
        }
        return End(UnitOutcome::Passed, "");
    }

  private:
    void Emit(const std::string& line) { m_out << line << "\n" << std::flush; }
    void Step(UnitStep step) { Emit(UnitStepLine(step)); }

    void ReportModule() {
        const auto versions = OnWindow(m_host, [](CMarlinqDlg& d) {
            std::vector<std::string> v;
            for (const char* name : {"FirmwareVersion", "HwVersionPart1", "HwVersionPart2", "AppVersion"}) {
                const auto* row = parameters::FindParameterByName(IDD_MARLINQ_DIALOG, name);
                const auto shown = row != nullptr ? ShownValues(d, {row}) : std::vector<NamedValue>{};
                v.push_back(shown.empty() ? std::string() : shown.front().value);
            }
            v.push_back(d.LastGet().Imsi());
            return v;
        });
        if (versions.size() != 5) {
            return;  // the window is gone
        }
        m_report.firmware = versions[0];
        m_report.hwVersion =
            versions[1].empty() && versions[2].empty() ? std::string() : versions[1] + "_" + versions[2];
        m_report.appVersion = versions[3];
        m_report.imsi = versions[4];
        Emit(UnitModuleLine(m_report));
    }

    // Why the unit is skipped: its IMSI already passed with this parameter file; empty otherwise.
    std::string AlreadyPassed() {
        if (m_report.imsi.empty()) {
            return {};
        }
        records::SqliteStore store;
        std::string error;
        bool found = false;
        if (!store.Open(m_o.recordsFile, &error) ||
            !store.HasPassed(m_report.imsi, m_o.skipDigest, &found, &error)) {
            m_err << "cannot look for an earlier record of " << m_report.imsi << ": " << error << "\n";
            return {};  // provisioned again rather than skipped on a guess
        }
        return found ? "IMSI " + m_report.imsi +
                           " already passed with this parameter file (--again provisions it again)"
                     : std::string();
    }

    // The parameter file, then each --set with the unit's facts; empty, or why not.
    std::string ApplyValues() {
        if (!m_o.file.empty()) {
            const auto why = OnWindow(m_host, [this](CMarlinqDlg& d) -> std::optional<std::string> {
                return d.LoadXmlConfig(m_o.file) != fw::FALSE ? std::string() : d.LastConfigFailure();
            });
            if (!why || !why->empty()) {
                return configfile::LoadFailureLine(m_o.file, why ? *why : "the window is gone");
            }
        }
        const UnitFacts facts{m_report.imsi, m_o.port, m_report.appVersion};
        for (const auto& setting : m_o.sets) {
            std::string own;
            std::string error;
            SetOption set;
            if (!WithUnitFacts(setting, facts, &own, &error) || !ParseSetOption(own, &set, &error)) {
                return error;
            }
            if (const std::string why = ApplySet(m_host, set); !why.empty()) {
                return "--set " + set.name + ": " + why;
            }
        }
        return {};
    }

    int End(UnitOutcome outcome, const std::string& message) {
        Emit(UnitOutcomeLine(outcome, message));
        m_host.Close();
        switch (outcome) {
            case UnitOutcome::Passed:
            case UnitOutcome::Skipped:
                return kExitDone;
            case UnitOutcome::Mismatch:
                return kExitMismatch;
            default:
                return kExitFailed;
        }
    }

    const UnitOptions& m_o;
    std::ostream& m_out;
    std::ostream& m_err;
    CConsoleHost m_host;
    UnitReport m_report;
};

}  // namespace

int RunProvisionUnit(const Args& args, std::ostream& out, std::ostream& err) {
    UnitOptions o;
    std::string error;
    if (!ParseUnitOptions(args, &o, &error)) {
        out << UnitOutcomeLine(UnitOutcome::Failed, "provision-unit: " + error) << "\n" << std::flush;
        return UsageError("provision-unit", kArguments, error, err);
    }
    Unit unit(o, out, err);
    return unit.Run();
}

int RunProvisionUnitCommand(const Args& args) {
    return RunProvisionUnit(args, std::cout, std::cerr);
}

}  // namespace marlinq::cli
