// The provisioning run against units that are real processes: a small script plays each unit by
// its port number (passes, mismatches, hangs, dies, never starts), so the run's own behaviour
// shows: isolation, time-outs, records before reports, the job limit, watch and stop.
#include "cli/provision_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>

#include "cli/provision_display.h"
#include "tests/support/poll.h"
#include "tests/support/temp_dir.h"

namespace marlinq::cli {
namespace {

// The unit's script: $3 is the port number. "mark" files show what ran at once.
constexpr const char* kUnitScript = R"(#!/bin/sh
port=$3
dir=$(dirname "$0")
touch "$dir/running.$port"
n=$(ls "$dir" | grep -c '^running\.')
echo "$n" >> "$dir/concurrency"
printf '@unit step\treading\n'
case $port in
  1) printf '@unit module\t460000000000001\tAPP1\tHW_1\tFW\n@unit step\tdownloading\n'
     printf '@unit sent\ttcp.Port\t6001\n@unit step\tverifying\n@unit outcome\tpassed\t\n' ;;
  2) printf '@unit module\t460000000000002\tAPP1\tHW_1\tFW\n@unit sent\ttcp.Port\t6001\n'
     printf '@unit diff\ttcp.Port\t6001\t6000\n'
     printf '@unit outcome\tmismatch\ttcp.Port sent 6001, module reports 6000\n' ;;
  3) echo "log line before the hang"; rm "$dir/running.$port"; exec sleep 300 ;;
  4) echo "Segmentation fault"; rm "$dir/running.$port"; exit 139 ;;
  5) printf '@unit module\t460000000000005\tA\tH\tF\n@unit outcome\tskipped\talready passed\n' ;;
  *) sleep 0.05; printf '@unit outcome\tpassed\t\n' ;;
esac
rm -f "$dir/running.$port"
)";

struct Fixture {
    testsupport::TempDir dir;
    std::string script;
    std::mutex mutex;
    std::vector<std::string> recorded;  // "port outcome" as the records were written
    std::vector<std::string> reported;  // UnitLine as the units were reported
    std::string refuseRecordOf;         // a port whose record cannot be written

    Fixture() {
        script = (dir.Path() / "unit.sh").string();
        std::ofstream(script) << kUnitScript;
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }

    ProvisionSettings Settings(std::vector<int> ports) {
        ProvisionSettings s;
        s.program = script;
        s.ports = std::move(ports);
        s.unitTimeout = std::chrono::milliseconds(3000);
        s.lookEvery = std::chrono::milliseconds(50);
        return s;
    }

    ProvisionRun::RecordWriter Record() {
        return [this](const UnitReport& r, const UnitTimes& t) -> std::string {
            EXPECT_LE(t.start, t.end);
            std::lock_guard lock(mutex);
            if (refuseRecordOf == std::to_string(r.port)) {
                return "the disk is full";
            }
            recorded.push_back(std::to_string(r.port) + " " + UnitOutcomeText(r.outcome));
            return {};
        };
    }

    ProvisionRun::UnitDone Done() {
        return [this](const UnitReport& r) {
            std::lock_guard lock(mutex);
            // The record comes first: a unit is never reported before it was stored.
            const std::string key = std::to_string(r.port) + " " + UnitOutcomeText(r.outcome);
            EXPECT_TRUE(r.outcome == UnitOutcome::Skipped || r.outcome == UnitOutcome::Failed ||
                        std::find(recorded.begin(), recorded.end(), key) != recorded.end())
                << key;
            reported.push_back(UnitLine(r));
        };
    }
};

std::map<int, UnitReport> ByPort(const std::vector<UnitReport>& reports) {
    std::map<int, UnitReport> by;
    for (const auto& r : reports) {
        by[r.port] = r;
    }
    return by;
}

TEST(ProvisionRun, EachUnitEndsOnItsOwnWhateverTheOthersDo) {
    Fixture f;
    auto settings = f.Settings({1, 2, 3, 4, 5, 6});
    // Ample for the units that end by themselves (a few small programs each, some milliseconds),
    // short for the one that hangs.
    settings.unitTimeout = std::chrono::milliseconds(300);
    ProvisionRun run(
        settings, [] { return std::vector<int>{}; }, f.Record(), f.Done());
    run.Run([](const std::vector<UnitProgress>&) {});
    const auto units = run.Finished();
    ASSERT_EQ(units.size(), 6u);
    auto by = ByPort(units);
    EXPECT_EQ(by[1].outcome, UnitOutcome::Passed);
    EXPECT_EQ(by[1].imsi, "460000000000001");
    EXPECT_EQ(by[1].sent, (std::vector<std::pair<std::string, std::string>>{{"tcp.Port", "6001"}}));
    EXPECT_EQ(by[2].outcome, UnitOutcome::Mismatch);
    ASSERT_EQ(by[2].differences.size(), 1u);
    EXPECT_EQ(by[2].differences[0].reported, "6000");
    EXPECT_EQ(by[3].outcome, UnitOutcome::Failed);
    EXPECT_EQ(by[3].failure, "no result from COM3 within 0.3 s");
    EXPECT_EQ(by[4].outcome, UnitOutcome::Failed);
    EXPECT_EQ(by[4].failure, "the unit's process ended without a result (exit code 139): Segmentation fault");
    EXPECT_EQ(by[5].outcome, UnitOutcome::Skipped);
    EXPECT_EQ(by[6].outcome, UnitOutcome::Passed);
    // The hanging unit finished last: the others were not held up by it.
    EXPECT_EQ(units.back().port, 3);
    // Every unit but the skipped one has its record; every unit was reported once.
    EXPECT_EQ(f.recorded.size(), 5u);
    EXPECT_EQ(f.reported.size(), 6u);
    EXPECT_EQ(ProvisionExitCode(units), 1);
    EXPECT_EQ(SummaryLine(units), "6 units: 2 passed, 1 mismatched, 2 failed, 1 skipped");
}

TEST(ProvisionRun, AUnitWhoseRecordCannotBeWrittenFailsAndTheJobLimitHolds) {
    Fixture f;
    f.refuseRecordOf = "1";
    auto settings = f.Settings({1, 6, 7, 8, 9});
    settings.jobs = 2;
    ProvisionRun run(
        settings, [] { return std::vector<int>{}; }, f.Record(), f.Done());
    run.Run([](const std::vector<UnitProgress>& running) { EXPECT_LE(running.size(), 2u); });
    auto by = ByPort(run.Finished());
    ASSERT_EQ(by.size(), 5u);
    EXPECT_EQ(by[1].outcome, UnitOutcome::Failed);
    EXPECT_EQ(by[1].failure, "record not written: the disk is full");
    for (int port : {6, 7, 8, 9}) {
        EXPECT_EQ(by[port].outcome, UnitOutcome::Passed) << port;
    }
    std::ifstream counts(f.dir.Path() / "concurrency");
    int most = 0;
    for (int n = 0; counts >> n;) {
        most = std::max(most, n);
    }
    EXPECT_GE(most, 1);
    EXPECT_LE(most, 2);
}

TEST(ProvisionRun, WatchTakesEachPortOnceAsItAppearsUntilStopped) {
    Fixture f;
    std::mutex mutex;
    std::condition_variable looked;
    std::vector<int> present;
    int looks = 0;
    std::atomic<int> ticks{0};
    auto settings = f.Settings({});
    settings.watch = true;
    settings.lookEvery = std::chrono::milliseconds(10);  // the steps below wait for whole looks
    ProvisionRun run(
        settings,
        [&] {
            std::lock_guard lock(mutex);
            ++looks;
            looked.notify_all();
            return present;
        },
        f.Record(), f.Done());
    std::thread plug([&] {
        // Ports appear one after another; 6 goes away after it was provisioned and comes back.
        const std::vector<std::pair<std::vector<int>, std::size_t>> steps = {
            {{6}, 1}, {{6, 7}, 2}, {{7}, 2}, {{6, 7}, 3}};
        for (const auto& [ports, reportedAfter] : steps) {
            std::unique_lock lock(mutex);
            present = ports;
            const int seen = looks;
            EXPECT_TRUE(looked.wait_for(lock, testsupport::kPollBound,
                                        [&] { return looks >= seen + 2; }));  // a whole look
            lock.unlock();
            EXPECT_TRUE(testsupport::PollUntil([&] {
                std::lock_guard reportLock(f.mutex);
                return f.reported.size() >= reportedAfter;
            }));
        }
        run.Stop();
    });
    run.Run([&](const std::vector<UnitProgress>&) { ++ticks; });
    plug.join();
    std::vector<int> ports;
    for (const auto& r : run.Finished()) {
        ports.push_back(r.port);
    }
    EXPECT_EQ(ports, (std::vector<int>{6, 7, 6}));
    EXPECT_GT(ticks.load(), 0);
}

TEST(ProvisionDisplay, LinesSummaryAndJsonOfARun) {
    UnitReport passed;
    passed.port = 205;
    passed.imsi = "460001234567890";
    passed.outcome = UnitOutcome::Passed;
    passed.elapsed = std::chrono::milliseconds(14'940);
    passed.sent = {{"tcp.Port", "6001"}};
    UnitReport failed;
    failed.port = 206;
    failed.failure = "no answer from COM206 within 3.6 s";
    failed.elapsed = std::chrono::milliseconds(3'600);
    EXPECT_EQ(UnitLine(passed), "COM205  460001234567890  passed  14.9 s");
    EXPECT_EQ(UnitLine(failed), "COM206  -  failed: no answer from COM206 within 3.6 s  3.6 s");
    const std::vector<UnitReport> units = {passed, failed};
    EXPECT_EQ(SummaryLine(units), "2 units: 1 passed, 1 failed");
    EXPECT_EQ(SummaryLine({passed}), "1 unit: 1 passed");
    EXPECT_EQ(ProvisionExitCode({passed}), 0);
    UnitReport mismatch = passed;
    mismatch.outcome = UnitOutcome::Mismatch;
    EXPECT_EQ(ProvisionExitCode({passed, mismatch}), 3);
    EXPECT_EQ(ProvisionExitCode({mismatch, failed}), 1);
    EXPECT_EQ(ProvisionExitCode({}), 0);

    const auto json = nlohmann::json::parse(ProvisionJson(units));
    ASSERT_EQ(json["units"].size(), 2u);
    EXPECT_EQ(json["units"][0]["port"], "COM205");
    EXPECT_EQ(json["units"][0]["sent"]["tcp.Port"], "6001");
    EXPECT_EQ(json["units"][1]["outcome"], "failed");
    EXPECT_EQ(json["summary"]["failed"], 1);
    EXPECT_EQ(json["exit"], 1);

    // On a terminal the table of units in progress is redrawn in place, under the finished lines.
    std::ostringstream live;
    ProvisionDisplay display(live, true);
    display.Tick({{205, UnitStep::Reading, platform::Clock::Now()},
                  {206, UnitStep::Verifying, platform::Clock::Now()}});
    display.UnitDone(passed);
    display.Summary(units);
    const std::string text = live.str();
    EXPECT_NE(text.find("  COM206  verifying   "), std::string::npos) << text;
    EXPECT_NE(text.find("\x1b[2F\x1b[J" + UnitLine(passed)), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - SummaryLine(units).size() - 1), SummaryLine(units) + "\n");
    std::ostringstream plain;
    ProvisionDisplay lines(plain, false);
    lines.Tick({{205, UnitStep::Reading, platform::Clock::Now()}});
    lines.UnitDone(passed);
    lines.Summary(units);
    EXPECT_EQ(plain.str(), UnitLine(passed) + "\n" + SummaryLine(units) + "\n");
}

TEST(UnitReportLines, EveryLineReadsBackAndOthersLeaveTheReportAlone) {
    UnitReport written;
    written.imsi = "460001234567890";
    written.appVersion = "V1.2\ttab";
    written.hwVersion = "HW\\1";
    written.firmware = "line\r\nbreak\x01";
    UnitReport read;
    for (const std::string& line :
         {UnitStepLine(UnitStep::Verifying), UnitModuleLine(written),
          UnitSentLine("mqtt.ClientId", "dtu-\t{x}\\"), UnitDifferenceLine({"tcp.Port", "6001", "6000"}),
          UnitOutcomeLine(UnitOutcome::Mismatch, "tcp.Port differs")}) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        EXPECT_TRUE(ApplyUnitLine(line, &read)) << line;
    }
    EXPECT_EQ(read.step, UnitStep::Verifying);
    EXPECT_EQ(read.appVersion, written.appVersion);
    EXPECT_EQ(read.hwVersion, written.hwVersion);
    EXPECT_EQ(read.firmware, written.firmware);
    EXPECT_EQ(read.sent.at(0).second, "dtu-\t{x}\\");
    EXPECT_EQ(read.differences.at(0).sent, "6001");
    EXPECT_TRUE(read.finished);
    EXPECT_EQ(read.outcome, UnitOutcome::Mismatch);
    // After the outcome nothing counts; log lines and broken report lines are not taken.
    const UnitReport before = read;
    for (const std::string& line :
         {UnitOutcomeLine(UnitOutcome::Passed, ""), std::string("Get parameters successfully"),
          std::string("@unit step\tsleeping"), std::string("@unit sent\tonly-a-name"),
          std::string("@unit sent\ta\\q\tb"), std::string("@unit diff\ta\tb\tc\\x4")}) {
        EXPECT_FALSE(ApplyUnitLine(line, &read)) << line;
    }
    EXPECT_EQ(read.outcome, before.outcome);
    UnitReport fresh;
    for (const std::string& line :
         {std::string("@unit step\tsleeping"), std::string("@unit sent\tonly-a-name"),
          std::string("@unit outcome\tfine\t"), std::string("@unit module\ta\tb")}) {
        EXPECT_FALSE(ApplyUnitLine(line, &fresh)) << line;
    }
    EXPECT_FALSE(fresh.finished);
    EXPECT_TRUE(fresh.sent.empty());
}

}  // namespace
}  // namespace marlinq::cli
