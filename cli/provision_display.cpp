#include "cli/provision_display.h"

#include "cli/failures.h"
#include "cli/json_writer.h"

namespace marlinq::cli {

namespace {

std::string Seconds(std::chrono::milliseconds ms) {
    const long long tenths = (ms.count() + 50) / 100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

std::string Port(int port) {
    return "COM" + std::to_string(port);
}

struct Counts {
    std::size_t passed = 0, mismatched = 0, failed = 0, skipped = 0;
};

Counts Count(const std::vector<UnitReport>& units) {
    Counts c;
    for (const auto& u : units) {
        switch (u.outcome) {
            case UnitOutcome::Passed:
                ++c.passed;
                break;
            case UnitOutcome::Mismatch:
                ++c.mismatched;
                break;
            case UnitOutcome::Failed:
                ++c.failed;
                break;
            case UnitOutcome::Skipped:
                ++c.skipped;
                break;
        }
    }
    return c;
}

}  // namespace

std::string UnitLine(const UnitReport& report) {
    std::string line = Port(report.port) + "  " + (report.imsi.empty() ? std::string("-") : report.imsi) +
                       "  " + UnitOutcomeText(report.outcome);
    if (!report.failure.empty()) {
        line += ": " + report.failure;
    }
    return line + "  " + Seconds(report.elapsed);
}

std::string SummaryLine(const std::vector<UnitReport>& units) {
    const Counts c = Count(units);
    std::string line = std::to_string(units.size()) + (units.size() == 1 ? " unit: " : " units: ") +
                       std::to_string(c.passed) + " passed";
    if (c.mismatched > 0) {
        line += ", " + std::to_string(c.mismatched) + " mismatched";
    }
    if (c.failed > 0) {
        line += ", " + std::to_string(c.failed) + " failed";
    }
    if (c.skipped > 0) {
        line += ", " + std::to_string(c.skipped) + " skipped";
    }
    return line;
}

int ProvisionExitCode(const std::vector<UnitReport>& units) {
    const Counts c = Count(units);
    return c.failed > 0 ? kExitFailed : c.mismatched > 0 ? kExitMismatch : kExitDone;
}

std::string ProvisionJson(const std::vector<UnitReport>& units) {
    const Counts c = Count(units);
    JsonWriter w;
    w.BeginObject().Field("command", "provision").Key("units").BeginArray();
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto& u = units[i];
        w.BeginObject()
            .Field("port", Port(u.port))
            .Field("imsi", u.imsi)
            .Field("appVersion", u.appVersion)
            .Field("hwVersion", u.hwVersion)
            .Field("firmware", u.firmware)
            .Field("outcome", UnitOutcomeText(u.outcome))
            .Field("failure", u.failure)
            .Field("elapsedMs", static_cast<long long>(u.elapsed.count()))
            .Key("sent")
            .BeginObject();
        for (const auto& [name, value] : u.sent) {
            w.Field(name, value);
        }
        w.EndObject().Key("differences").BeginArray();
        for (const auto& d : u.differences) {
            w.BeginObject()
                .Field("name", d.name)
                .Field("sent", d.sent)
                .Field("reported", d.reported)
                .EndObject();
        }
        w.EndArray().EndObject();
    }
    w.EndArray()
        .Key("summary")
        .BeginObject()
        .Field("units", static_cast<long long>(units.size()))
        .Field("passed", static_cast<long long>(c.passed))
        .Field("mismatched", static_cast<long long>(c.mismatched))
        .Field("failed", static_cast<long long>(c.failed))
        .Field("skipped", static_cast<long long>(c.skipped))
        .EndObject()
        .Field("exit", ProvisionExitCode(units))
        .EndObject();
    return w.Text();
}

void ProvisionDisplay::ClearTable() {
    if (m_tableLines > 0) {
        // Up to the table's first line, and clear from there down.
        m_out << "\x1b[" << m_tableLines << "F\x1b[J";
        m_tableLines = 0;
    }
}

void ProvisionDisplay::DrawTable() {
    const auto now = platform::Clock::Now();
    for (const auto& unit : m_running) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - unit.started);
        std::string step = UnitStepText(unit.step);
        step.resize(12, ' ');
        m_out << "  " << Port(unit.port) << "  " << step << Seconds(elapsed) << "\n";
        ++m_tableLines;
    }
}

void ProvisionDisplay::UnitDone(const UnitReport& report) {
    if (m_live) {
        ClearTable();
    }
    m_out << UnitLine(report) << "\n";
    if (m_live) {
        std::erase_if(m_running, [&](const UnitProgress& u) { return u.port == report.port; });
        DrawTable();
    }
    m_out << std::flush;
}

void ProvisionDisplay::Tick(const std::vector<UnitProgress>& running) {
    if (!m_live) {
        return;
    }
    m_running = running;
    ClearTable();
    DrawTable();
    m_out << std::flush;
}

void ProvisionDisplay::Summary(const std::vector<UnitReport>& units) {
    if (m_live) {
        ClearTable();
    }
    m_out << SummaryLine(units) << "\n" << std::flush;
}

}  // namespace marlinq::cli
