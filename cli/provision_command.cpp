// marlinq-cli provision: every attached module (or the ports listed) configured at once, each unit
// in a process of its own (provision-unit), each verified, each with its record stored before it is
// reported.
#include <condition_variable>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>

#include "cli/commands.h"
#include "cli/failures.h"
#include "cli/module_wait.h"
#include "cli/options.h"
#include "cli/provision_display.h"
#include "cli/provision_run.h"
#include "cli/unit_values.h"
#include "configfile/config_document.h"
#include "configfile/config_messages.h"
#include "configfile/config_value_check.h"
#include "discovery/at_port.h"
#include "platform/app_directory.h"
#include "platform/station_identity.h"
#include "platform/terminal.h"
#include "platform/termination.h"
#include "records/postgres_url.h"
#include "records/record_key.h"
#include "records/record_sink.h"
#include "records/sha256.h"
#include "records/sqlite_store.h"
#include "records/utc_time.h"

namespace marlinq::cli {

namespace {

constexpr const char* kArguments =
    "[FILE] [--set NAME=VALUE ...] [--ports all|N,M,...] [--watch] [--again] [--jobs K] [--record URL] "
    "[--timeout S] [--pace fixed|answer] [--json]";
constexpr long kMaxJobs = 64;
constexpr long kMaxPorts = 64;

struct ProvisionOptions {
    std::string file;  // absolute
    std::vector<std::string> sets;
    std::vector<int> ports;  // empty: all
    bool watch = false;
    bool again = false;
    long jobs = 0;
    std::string recordUrl;   // the shared database; empty: the local records file only
    std::string recordFile;  // the local records file (marlinq-cli records --where)
    long timeoutSeconds = kDefaultTimeoutSeconds;
    atlink::Pacing pacing = atlink::Pacing::Fixed;  // passed on to every unit's process
    bool json = false;
};

// "all", or port numbers separated by commas.
bool ParsePorts(const std::string& text, std::vector<int>* ports, std::string* error) {
    if (text == "all") {
        return true;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto comma = text.find(',', start);
        const std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const bool digits =
            !part.empty() && part.size() <= 5 && part.find_first_not_of("0123456789") == std::string::npos;
        const long port = digits ? std::stol(part) : 0;
        if (port < 1 || port > kMaxComNumber) {
            *error = "--ports takes all or COM numbers 1 to " + std::to_string(kMaxComNumber) +
                     " separated by commas, not \"" + text.substr(0, 40) + "\"";
            return false;
        }
        if (std::find(ports->begin(), ports->end(), static_cast<int>(port)) == ports->end()) {
            ports->push_back(static_cast<int>(port));
        }
        if (ports->size() > static_cast<std::size_t>(kMaxPorts)) {
            *error = "--ports names more than " + std::to_string(kMaxPorts) + " ports";
            return false;
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return true;
}

bool ParseProvisionOptions(const Args& args, ProvisionOptions* o, std::string* error) {
    const std::vector<OptionSpec> specs = {TextsOption("--set"),
                                           TextOption("--ports"),
                                           FlagOption("--watch"),
                                           FlagOption("--again"),
                                           NumberOption("--jobs", 1, kMaxJobs),
                                           TextOption("--record"),
                                           TimeoutOption(),
                                           PaceOption(),
                                           FlagOption("--json")};
    ParsedArgs parsed;
    if (!ParseArgs(args, specs, &parsed, error)) {
        return false;
    }
    if (parsed.rest.size() > 1) {
        *error = "unexpected argument " + parsed.rest.back();
        return false;
    }
    if (!parsed.rest.empty()) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(parsed.rest.front(), ec);
        o->file = ec ? parsed.rest.front() : absolute.string();
    }
    if (const auto sets = parsed.texts.find("--set"); sets != parsed.texts.end()) {
        o->sets = sets->second;
    }
    for (const auto& set : o->sets) {
        if (!CheckUnitSetting(set, error)) {
            return false;
        }
    }
    if (!ParsePorts(parsed.Has("--ports") ? parsed.Text("--ports") : "all", &o->ports, error)) {
        return false;
    }
    o->watch = parsed.Has("--watch");
    o->again = parsed.Has("--again");
    o->jobs = parsed.Value("--jobs", 0);
    o->timeoutSeconds = parsed.Value("--timeout", kDefaultTimeoutSeconds);
    o->pacing = PaceOf(parsed);
    o->json = parsed.Has("--json");
    const std::string record = parsed.Text("--record");
    if (!record.empty()) {
        if (const std::string why = records::CheckPostgresUrl(record); !why.empty()) {
            *error = "--record: " + why;
            return false;
        }
        o->recordUrl = record;
    }
    o->recordFile = records::DefaultRecordsPath();
    return true;
}

// The parameter file as every unit will load it: readable, and every value one that may be sent.
bool CheckParameterFile(const std::string& file, std::string* digest, std::ostream& err) {
    configfile::ConfigValues values;
    configfile::ConfigReadProblem problem;
    if (configfile::ReadConfigFile(file, &values, &problem) != configfile::ConfigReadOutcome::kRead) {
        Fail(configfile::LoadFailureLine(file, problem.reason), err);
        return false;
    }
    if (const std::string fault = configfile::ConfigValuesFault(values); !fault.empty()) {
        Fail("cannot provision with " + file + ": " + fault, err);
        return false;
    }
    std::string error;
    if (!records::FileSha256Hex(file, digest, &error)) {
        Fail(configfile::LoadFailureLine(file, error), err);
        return false;
    }
    return true;
}

records::ProductionRecord RecordOf(const UnitReport& unit, const UnitTimes& times, const ProvisionOptions& o,
                                   const std::string& digest) {
    records::ProductionRecord r;
    r.key = records::NewRecordKey();
    r.started = records::UtcTimestamp(times.start);
    r.ended = records::UtcTimestamp(times.end);
    r.station = platform::StationName();
    if (r.station.empty()) {
        r.station = "unknown";
    }
    r.operatorName = platform::OperatorName();
    r.port = unit.port;
    r.imsi = unit.imsi;
    r.appVersion = unit.appVersion;
    r.hardwareVersion = unit.hwVersion;
    r.parameterFile = o.file.empty() ? std::string() : std::filesystem::path(o.file).filename().string();
    r.parameterSha256 = digest;
    for (const auto& [name, value] : unit.sent) {
        r.values.push_back({name, value});
    }
    for (const auto& d : unit.differences) {
        r.differences.push_back({d.name, d.sent, d.reported});
    }
    r.outcome = unit.outcome == UnitOutcome::Passed     ? records::Outcome::Passed
                : unit.outcome == UnitOutcome::Mismatch ? records::Outcome::Mismatch
                                                        : records::Outcome::Failed;
    r.failure = unit.outcome == UnitOutcome::Passed ? std::string() : unit.failure;
    return r;
}

// What each unit's process is given after provision-unit --port N.
std::vector<std::string> UnitArguments(const ProvisionOptions& o, const std::string& digest) {
    std::vector<std::string> args;
    if (!o.file.empty()) {
        args.push_back(o.file);
    }
    for (const auto& set : o.sets) {
        args.insert(args.end(), {"--set", set});
    }
    args.insert(args.end(), {"--timeout", std::to_string(o.timeoutSeconds)});
    if (o.pacing != atlink::Pacing::Fixed) {
        args.insert(args.end(), {"--pace", std::string(atlink::PacingName(o.pacing))});
    }
    if (!o.again && !digest.empty()) {
        // A unit whose IMSI already passed with this parameter file is skipped.
        args.insert(args.end(), {"--skip-passed", digest, "--records", o.recordFile});
    }
    return args;
}

std::string ProgramPath() {
    const std::string folder = platform::ExecutableDirectory();
    return folder + (folder.find('\\') != std::string::npos ? "marlinq-cli.exe" : "marlinq-cli");
}

}  // namespace

int RunProvision(const Args& args, std::ostream& out, std::ostream& err) {
    ProvisionOptions o;
    std::string error;
    if (!ParseProvisionOptions(args, &o, &error)) {
        return UsageError("provision", kArguments, error, err);
    }
    std::string digest;
    if (!o.file.empty() && !CheckParameterFile(o.file, &digest, err)) {
        return kExitFailed;
    }

    ProvisionSettings settings;
    settings.program = ProgramPath();
    settings.unitArgs = UnitArguments(o, digest);
    settings.ports = o.ports;
    settings.watch = o.watch;
    settings.jobs = static_cast<std::size_t>(o.jobs);
    // Waiting for the module, a Get, a Download and the verifying Get, with room to spare.
    settings.unitTimeout = std::chrono::milliseconds((o.timeoutSeconds + 120) * 1000);
    if (!o.watch && o.ports.empty()) {
        settings.ports = AllAtPortNumbers();
        if (settings.ports.empty()) {
            return Fail("no module found: no AT port is present (--watch waits for modules)", err);
        }
    }

    const bool live = !o.json && platform::StandardOutputIsLiveTerminal();
    // With --json the lines go to standard error, the object alone to standard output.
    ProvisionDisplay display(o.json ? err : out, live);
    ProvisionRun run(
        settings, [] { return AllAtPortNumbers(); },
        [&o, &digest, &err](const UnitReport& unit, const UnitTimes& times) -> std::string {
            const records::ProductionRecord record = RecordOf(unit, times, o, digest);
            const records::StoreResult stored = records::StoreRecord(record, o.recordUrl, o.recordFile);
            if (!stored.stored) {
                return stored.error;
            }
            if (!stored.note.empty()) {
                err << "COM" << unit.port << ": " << stored.note << "\n" << std::flush;
            }
            if (!o.recordUrl.empty() && !stored.unsent) {
                // The station keeps its own history too, already sent: records lists it, and a unit
                // that passed is known here for the next run.
                records::SqliteStore local;
                std::string error;
                if (!local.Open(o.recordFile, &error) || !local.Add(record, false, &error)) {
                    err << "COM" << unit.port << ": the record reached the shared database but not "
                        << o.recordFile << ": " << error << "\n"
                        << std::flush;
                }
            }
            return {};
        },
        [&display](const UnitReport& unit) { display.UnitDone(unit); });

    // Ctrl+C: no unit starts any more; those in progress finish and are recorded, then the summary.
    // The state outlives this function, so a request that comes after it never touches the run.
    struct Interrupt {
        std::mutex mutex;
        std::condition_variable ended;
        ProvisionRun* run = nullptr;  // null once the run is over
    };
    const auto interrupt = std::make_shared<Interrupt>();
    interrupt->run = &run;
    platform::OnTerminationRequest([interrupt] {
        std::unique_lock lock(interrupt->mutex);
        if (interrupt->run != nullptr) {
            interrupt->run->Stop();
        }
        interrupt->ended.wait(lock, [&] { return interrupt->run == nullptr; });
    });
    run.Run([&display](const std::vector<UnitProgress>& units) { display.Tick(units); });
    const auto units = run.Finished();
    display.Summary(units);
    if (o.json) {
        out << ProvisionJson(units) << std::flush;
    }
    {
        std::lock_guard lock(interrupt->mutex);
        interrupt->run = nullptr;
    }
    interrupt->ended.notify_all();
    return ProvisionExitCode(units);
}

int RunProvisionCommand(const Args& args) {
    return RunProvision(args, std::cout, std::cerr);
}

}  // namespace marlinq::cli
