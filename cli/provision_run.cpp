#include "cli/provision_run.h"

#include <algorithm>
#include <deque>

namespace marlinq::cli {

namespace {

constexpr std::size_t kLastWords = 3;  // log lines kept of a unit that ends without a result
constexpr auto kTick = std::chrono::milliseconds(200);

std::string Seconds(std::chrono::milliseconds ms) {
    const long tenths = static_cast<long>((ms.count() + 50) / 100);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

}  // namespace

struct ProvisionRun::Unit {
    int port = 0;
    std::unique_ptr<platform::WorkerProcess> process;
    std::thread thread;
    UnitProgress progress;  // guarded by m_mutex
    std::chrono::system_clock::time_point start;
    bool timedOut = false;  // guarded by m_mutex
};

ProvisionRun::ProvisionRun(ProvisionSettings settings, PortLister ports, RecordWriter record, UnitDone done)
    : m_settings(std::move(settings)),
      m_ports(std::move(ports)),
      m_record(std::move(record)),
      m_done(std::move(done)) {}

ProvisionRun::~ProvisionRun() {
    std::vector<Unit*> running;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        for (auto& [port, unit] : m_running) {
            running.push_back(unit.get());
        }
    }
    for (Unit* unit : running) {
        unit->process->Kill();
    }
    for (;;) {
        std::unique_ptr<Unit> unit;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_running.empty() || !m_ended.empty(); });
            if (m_ended.empty()) {
                break;
            }
            unit = std::move(m_ended.back());
            m_ended.pop_back();
        }
        unit->thread.join();
    }
}

void ProvisionRun::Stop() {
    std::lock_guard lock(m_mutex);
    m_stop = true;
    m_changed.notify_all();
}

std::vector<UnitReport> ProvisionRun::Finished() const {
    std::lock_guard lock(m_mutex);
    return m_finished;
}

void ProvisionRun::StartUnit(int port) {
    platform::ChildCommand command;
    command.program = m_settings.program;
    command.args = {"provision-unit", "--port", std::to_string(port)};
    command.args.insert(command.args.end(), m_settings.unitArgs.begin(), m_settings.unitArgs.end());
    auto unit = std::make_unique<Unit>();
    unit->port = port;
    unit->progress = {port, UnitStep::Starting, platform::Clock::Now()};
    unit->start = std::chrono::system_clock::now();
    std::string error;
    unit->process = platform::WorkerProcess::Start(command, &error);
    if (unit->process == nullptr) {
        UnitReport report;
        report.port = port;
        report.failure = "cannot start the unit's process: " + error;
        Finish(unit.get(), report);
        std::lock_guard lock(m_mutex);
        m_finished.push_back(report);
        return;
    }
    Unit* raw = unit.get();
    {
        std::lock_guard lock(m_mutex);
        m_running[port] = std::move(unit);
    }
    raw->thread = std::thread([this, raw] { FollowUnit(raw); });
}

void ProvisionRun::FollowUnit(Unit* unit) {
    UnitReport report;
    report.port = unit->port;
    std::deque<std::string> lastWords;
    std::string line;
    while (unit->process->ReadLine(&line)) {
        const UnitStep before = report.step;
        if (!ApplyUnitLine(line, &report)) {
            if (!line.empty()) {
                lastWords.push_back(line);
                if (lastWords.size() > kLastWords) {
                    lastWords.pop_front();
                }
            }
        } else if (report.step != before) {
            std::lock_guard lock(m_mutex);
            unit->progress.step = report.step;
            m_changed.notify_all();
        }
    }
    const int code = unit->process->Wait();
    if (!report.finished) {
        bool timedOut = false;
        {
            std::lock_guard lock(m_mutex);
            timedOut = unit->timedOut;
        }
        report.outcome = UnitOutcome::Failed;
        if (timedOut) {
            report.failure =
                "no result from COM" + std::to_string(unit->port) + " within " +
                Seconds(std::chrono::duration_cast<std::chrono::milliseconds>(
                    platform::Clock::Scaled(static_cast<std::uint32_t>(m_settings.unitTimeout.count()))));
        } else {
            report.failure =
                "the unit's process ended without a result (exit code " + std::to_string(code) + ")";
            if (!lastWords.empty()) {
                report.failure += ": " + lastWords.back();
            }
        }
    }
    Finish(unit, report);
    std::lock_guard lock(m_mutex);
    m_finished.push_back(report);
    auto it = m_running.find(unit->port);
    if (it != m_running.end() && it->second.get() == unit) {
        m_ended.push_back(std::move(it->second));
        m_running.erase(it);
    }
    m_changed.notify_all();
}

void ProvisionRun::Finish(Unit* unit, UnitReport& report) {
    const UnitTimes times{unit->start, std::chrono::system_clock::now()};
    if (report.outcome != UnitOutcome::Skipped) {
        const std::string why = m_record(report, times);
        if (!why.empty()) {
            report.outcome = UnitOutcome::Failed;
            report.failure = "record not written: " + why;
        }
    }
    report.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(platform::Clock::Now() -
                                                                           unit->progress.started);
    std::lock_guard lock(m_outputMutex);
    m_done(report);
}

void ProvisionRun::Run(const std::function<void(const std::vector<UnitProgress>&)>& onTick) {
    std::set<int> seen;  // ports taken in this appearance
    std::vector<int> queue;
    if (!m_settings.watch) {
        queue = m_settings.ports.empty() ? m_ports() : m_settings.ports;
    }
    auto nextLook = platform::Clock::Now();
    for (;;) {
        bool stop = false;
        std::set<int> running;
        {
            std::lock_guard lock(m_mutex);
            stop = m_stop;
            for (const auto& [port, unit] : m_running) {
                running.insert(port);
            }
        }
        if ((stop || (!m_settings.watch && queue.empty())) && running.empty()) {
            break;
        }
        const auto now = platform::Clock::Now();
        if (m_settings.watch && !stop && now >= nextLook) {
            std::vector<int> present = m_ports();
            if (!m_settings.ports.empty()) {
                std::erase_if(present, [this](int port) {
                    return std::find(m_settings.ports.begin(), m_settings.ports.end(), port) ==
                           m_settings.ports.end();
                });
            }
            // A port that went away gets its turn again when a module appears on it.
            std::erase_if(seen, [&](int port) {
                return running.count(port) == 0 &&
                       std::find(present.begin(), present.end(), port) == present.end();
            });
            for (const int port : present) {
                if (seen.insert(port).second) {
                    queue.push_back(port);
                }
            }
            nextLook =
                now + platform::Clock::Scaled(static_cast<std::uint32_t>(m_settings.lookEvery.count()));
        }
        while (!stop && !queue.empty() && (m_settings.jobs == 0 || running.size() < m_settings.jobs)) {
            const int port = queue.front();
            queue.erase(queue.begin());
            if (running.insert(port).second) {
                StartUnit(port);
            }
        }
        std::vector<UnitProgress> progress;
        std::vector<std::unique_ptr<Unit>> ended;
        {
            std::lock_guard lock(m_mutex);
            const auto timeout =
                platform::Clock::Scaled(static_cast<std::uint32_t>(m_settings.unitTimeout.count()));
            for (auto& [port, unit] : m_running) {
                if (!unit->timedOut && now - unit->progress.started > timeout) {
                    unit->timedOut = true;
                    unit->process->Kill();
                }
                progress.push_back(unit->progress);
            }
            ended.swap(m_ended);
        }
        for (auto& unit : ended) {
            unit->thread.join();
        }
        {
            std::lock_guard lock(m_outputMutex);
            onTick(progress);
        }
        const auto wake = m_settings.watch ? std::min(now + kTick, nextLook) : now + kTick;
        std::unique_lock lock(m_mutex);
        m_changed.wait_until(lock, wake,
                             [this] { return !m_ended.empty() || (m_stop && m_running.empty()); });
    }
}

}  // namespace marlinq::cli
