// Provisioning runs one unit per AT port, each in a process of its own (marlinq-cli
// provision-unit --port N ...), so that one unit's hang, crash or vanished device never stops or
// slows another. The run starts units up to the job limit, follows each one's report, ends a unit
// that runs past its time-out, stores each unit's record before the unit counts as done, and with
// watch keeps looking for AT ports that appear.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli/unit_report.h"
#include "platform/clock.h"
#include "platform/worker_process.h"

namespace marlinq::cli {

struct ProvisionSettings {
    std::string program;                // the program every unit runs (marlinq-cli itself)
    std::vector<std::string> unitArgs;  // its arguments after "provision-unit --port N"
    std::vector<int> ports;             // the ports to provision; empty: every AT port found
    bool watch = false;                 // keep looking for AT ports until Stop
    std::size_t jobs = 0;               // units at once; 0: no limit
    std::chrono::milliseconds unitTimeout{std::chrono::minutes(2)};
    std::chrono::milliseconds lookEvery{1000};  // how often watch lists the AT ports (scaled)
};

// A unit as the run follows it.
struct UnitProgress {
    int port = 0;
    UnitStep step = UnitStep::Starting;
    platform::Clock::TimePoint started;
};

struct UnitTimes {
    std::chrono::system_clock::time_point start;
    std::chrono::system_clock::time_point end;
};

class ProvisionRun {
  public:
    // The AT ports present now.
    using PortLister = std::function<std::vector<int>()>;
    // Stores a finished unit's record; empty when stored, else why not. Not called for a unit
    // that was skipped.
    using RecordWriter = std::function<std::string(const UnitReport&, const UnitTimes&)>;
    // A unit has finished (its record stored or not): its outcome, failure and elapsed are final.
    using UnitDone = std::function<void(const UnitReport&)>;

    ProvisionRun(ProvisionSettings settings, PortLister ports, RecordWriter record, UnitDone done);
    ~ProvisionRun();
    ProvisionRun(const ProvisionRun&) = delete;
    ProvisionRun& operator=(const ProvisionRun&) = delete;

    // Runs until every unit has finished; with watch, until Stop. onTick is called about five
    // times a second with the units in progress (for a live display).
    void Run(const std::function<void(const std::vector<UnitProgress>&)>& onTick);

    // From any thread: no unit starts any more, watch ends; Run returns once the units in progress
    // have finished.
    void Stop();

    // Every unit that finished, in the order they finished.
    std::vector<UnitReport> Finished() const;

  private:
    struct Unit;
    void StartUnit(int port);
    void FollowUnit(Unit* unit);
    void Finish(Unit* unit, UnitReport& report);

    ProvisionSettings m_settings;
    PortLister m_ports;
    RecordWriter m_record;
    UnitDone m_done;

    std::mutex m_outputMutex;  // one unit's line or one tick of the display at a time
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    std::map<int, std::unique_ptr<Unit>> m_running;  // by port
    std::vector<std::unique_ptr<Unit>> m_ended;      // threads to join
    std::vector<UnitReport> m_finished;
};

}  // namespace marlinq::cli
