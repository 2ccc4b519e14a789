// What the operator sees of a provisioning run: a line per unit as it finishes, a summary, and on
// a terminal a live table of the units in progress with their step and elapsed time beneath the
// finished lines; with --json, one JSON object at the end.
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "cli/provision_run.h"
#include "cli/unit_report.h"

namespace marlinq::cli {

// "COM205  460001234567890  passed  14.9 s", "COM205  -  failed: no answer from COM205 ...".
std::string UnitLine(const UnitReport& report);
// "8 units: 7 passed, 1 failed".
std::string SummaryLine(const std::vector<UnitReport>& units);
// 0 when every unit passed or was skipped, 3 when one mismatched and none failed, 1 when one failed.
int ProvisionExitCode(const std::vector<UnitReport>& units);
// The whole run as one JSON object.
std::string ProvisionJson(const std::vector<UnitReport>& units);

class ProvisionDisplay {
  public:
    // live: redraw a table of the units in progress (a terminal that takes escape sequences).
    ProvisionDisplay(std::ostream& out, bool live) : m_out(out), m_live(live) {}

    void UnitDone(const UnitReport& report);
    void Tick(const std::vector<UnitProgress>& running);
    void Summary(const std::vector<UnitReport>& units);

  private:
    void ClearTable();
    void DrawTable();

    std::ostream& m_out;
    bool m_live;
    std::vector<UnitProgress> m_running;
    std::size_t m_tableLines = 0;
};

}  // namespace marlinq::cli
