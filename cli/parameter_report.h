// What marlinq-cli get and download report of the parameters: name=value lines, or one JSON
// object with the outcome, the versions, the parameters by name and what a verification found.
#pragma once

#include <string>
#include <vector>

#include "parameters/parameter_table.h"

namespace marlinq {
class CMarlinqDlg;
}

namespace marlinq::cli {

struct NamedValue {
    const parameters::ParameterRow* row = nullptr;
    std::string name;   // "tcp.Port"
    std::string value;  // as the window shows it; a radio pair "1", "0" or "" (neither ticked)
};

// The values the window shows for rows, in their order. Window thread.
std::vector<NamedValue> ShownValues(CMarlinqDlg& dlg,
                                    const std::vector<const parameters::ParameterRow*>& rows);

// rows without those that are not in keep (the order of rows stays).
std::vector<const parameters::ParameterRow*> OnlyRows(
    const std::vector<const parameters::ParameterRow*>& rows,
    const std::vector<const parameters::ParameterRow*>& keep);

// "name=value\n" for each.
std::string ValueLines(const std::vector<NamedValue>& values);

struct Difference {
    std::string name;
    std::string sent;
    std::string reported;
};

struct ParameterReport {
    int exitCode = 0;
    std::string failure;  // the first failure's line; empty when none
    std::vector<NamedValue> values;
    std::string imsi;       // what the last Get read with AT+CIMI; empty when none
    bool compared = false;  // a verification compared what was sent with what the module reports
    std::vector<Difference> differences;
};

// The report as one JSON object:
//   {"ok": bool, "exit": N, "failure": "line" or null,
//    "versions": {"firmware", "hardware", "application"}  (those among values; hardware as
//                 AT+CSUB reports it, "PART1_PART2"),
//    "imsi": "..."  (what the Get read with AT+CIMI; left out when it read none),
//    "parameters": {name: value, ...},
//    "differences": [{"name", "sent", "reported"}, ...]  (only when compared)}
std::string ReportJson(const ParameterReport& report);

}  // namespace marlinq::cli
