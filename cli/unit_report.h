// What a provisioned unit reports to the provisioning command: the unit's process writes its
// steps and results as lines of its own on standard output, the provisioning command reads them
// back from the pipe. Log lines of the unit's window come through the same pipe; they never
// begin with the marker and are only kept as the last words of a unit that ended without a result.
//
//   @unit step reading|downloading|verifying
//   @unit module IMSI APP HW FIRMWARE
//   @unit sent NAME VALUE
//   @unit diff NAME SENT REPORTED
//   @unit outcome passed|failed|mismatch|skipped MESSAGE
//
// Fields are separated by a tab; a backslash, tab, CR and LF in a field are written \\ \t \r \n,
// other control characters \xHH.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlinq::cli {

enum class UnitOutcome {
    Passed,    // every value sent, the module reports each as sent
    Failed,    // a step failed, the unit's process died or hung, or its record was not written
    Mismatch,  // every step worked, but the module reports a value other than what was sent
    Skipped,   // the unit already holds a passed record for the same parameter file
};

const char* UnitOutcomeText(UnitOutcome outcome);

enum class UnitStep { Starting, Reading, Downloading, Verifying };

const char* UnitStepText(UnitStep step);

struct UnitDifference {
    std::string name;  // "tcp.Port"
    std::string sent;
    std::string reported;
};

struct UnitReport {
    int port = 0;
    UnitStep step = UnitStep::Starting;
    std::string imsi;
    std::string appVersion;
    std::string hwVersion;
    std::string firmware;
    std::vector<std::pair<std::string, std::string>> sent;  // by name, in the order sent
    std::vector<UnitDifference> differences;
    bool finished = false;  // an outcome line came
    UnitOutcome outcome = UnitOutcome::Failed;
    std::string failure;                   // the first failure's message; the differences for a mismatch
    std::chrono::milliseconds elapsed{0};  // from the start of the unit's process to its record
};

// The marker every line of the report begins with.
inline constexpr std::string_view kUnitLineMarker = "@unit ";

// The lines a unit writes.
std::string UnitStepLine(UnitStep step);
std::string UnitModuleLine(const UnitReport& report);
std::string UnitSentLine(const std::string& name, const std::string& value);
std::string UnitDifferenceLine(const UnitDifference& difference);
std::string UnitOutcomeLine(UnitOutcome outcome, const std::string& message);

// Takes one line of a unit's output into report. false when it is no report line (a log line)
// or a report line that does not parse; report is then unchanged.
bool ApplyUnitLine(std::string_view line, UnitReport* report);

}  // namespace marlinq::cli
