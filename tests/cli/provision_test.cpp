// marlinq-cli provision as an operator runs it: a copy of the program of its own (its records file
// and traffic log stay in the test's folder) against a rack of simulated modules, each unit in a
// process of its own at a tenth of real time.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>

#include "records/sha256.h"
#include "records/sqlite_store.h"
#include "simulator/dtu_model.h"
#include "simulator/module_rack.h"
#include "tests/support/poll.h"
#include "tests/support/read_file.h"
#include "tests/support/run_process.h"
#include "tests/support/sim_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Field k (1-based) of a DTUCFG argument list.
std::string Field(const std::string& list, int k) {
    std::size_t start = 0;
    for (int i = 1; i < k; ++i) {
        start = list.find(',', start) + 1;
    }
    return list.substr(start, list.find(',', start) - start);
}

class Provision : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("MARLINQ_CLOCK_SCALE", "0.1", 1);
        fs::copy_file(MARLINQ_CLI_EXE, m_dir.Path() / "marlinq-cli");
        // The shipped parameter file with a beat text in hex, as the window's hex box wants it.
        std::string text = testsupport::ReadFile(MARLINQ_DEFAULT_XML);
        const std::string beat = "<BeatText>ping</BeatText>";
        if (text.find(beat) != std::string::npos) {
            text.replace(text.find(beat), beat.size(), "<BeatText>70696E67</BeatText>");
        }
        m_file = (m_dir.Path() / "line.xml").string();
        std::ofstream(m_file, std::ios::binary) << text;
    }

    void StartRack(int count) {
        std::string error;
        ASSERT_TRUE(m_rack.Start(count, {}, "001019000000300", &error)) << error;
    }
    std::string Ports() {
        std::string ports;
        for (std::size_t i = 0; i < m_rack.Size(); ++i) {
            ports += (i == 0 ? "" : ",") + std::to_string(m_rack.Module(i).Com());
        }
        return ports;
    }
    std::unique_ptr<testsupport::ChildProcess> Start(std::vector<std::string> args) {
        args.insert(args.begin(), "provision");
        return std::make_unique<testsupport::ChildProcess>((m_dir.Path() / "marlinq-cli").string(), args);
    }
    testsupport::ProcessResult Run(std::vector<std::string> args) {
        auto child = Start(std::move(args));
        child->CloseInput();
        return child->Wait();
    }
    std::vector<records::StoredRecord> Records() {
        records::SqliteStore store;
        std::string error;
        std::vector<records::StoredRecord> found;
        EXPECT_TRUE(store.Open((m_dir.Path() / "marlinq-records.sqlite").string(), &error)) << error;
        EXPECT_TRUE(store.Find({}, &found, &error)) << error;
        return found;
    }
    // The records by port.
    std::map<int, records::ProductionRecord> RecordsByPort() {
        std::map<int, records::ProductionRecord> by;
        for (const auto& r : Records()) {
            by[r.record.port] = r.record;
        }
        return by;
    }

    platform::ScopedClockScale m_scale{testsupport::kTestClockScale};
    testsupport::TempDir m_dir;
    std::string m_file;
    sim::ModuleRack m_rack;
};

TEST_F(Provision, EveryUnitGetsTheFileAndItsOwnValuesIsVerifiedAndRecorded) {
    StartRack(4);
    // The units' fixed pauses on the tests' clock, each read waiting for an answer's first byte as
    // long as a loaded machine may need; a unit may take up to 1020 s (10.2 s here: a sanitized
    // build's unit takes 1.4 s).
    ::setenv("MARLINQ_CLOCK_SCALE", "0.01", 1);
    ::setenv("MARLINQ_READ_FLOOR_MS", std::to_string(testsupport::kPatientReadFloorMs).c_str(), 1);
    const auto run = Run({m_file, "--set", "mqtt.ClientId=dtu-{IMSI}", "tcp.Port={COM}", "--ports", Ports(),
                          "--timeout", "900", "--json"});
    ::unsetenv("MARLINQ_READ_FLOOR_MS");
    ::setenv("MARLINQ_CLOCK_SCALE", "0.1", 1);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["summary"]["passed"], 4);
    EXPECT_NE(run.err.find("4 units: 4 passed"), std::string::npos) << run.err;

    std::string digest;
    std::string error;
    ASSERT_TRUE(records::FileSha256Hex(m_file, &digest, &error)) << error;
    auto records = RecordsByPort();
    ASSERT_EQ(records.size(), 4u);
    for (std::size_t i = 0; i < m_rack.Size(); ++i) {
        auto& module = m_rack.Module(i);
        const std::string com = std::to_string(module.Com());
        SCOPED_TRACE("COM" + com);
        // The module holds its own client id and its own port, and the file's server address.
        EXPECT_NE(module.Value("MQTTCFG").find(",dtu-" + m_rack.Imsi(i) + ","), std::string::npos)
            << module.Value("MQTTCFG");
        EXPECT_EQ(Field(module.Value("DTUCFG"), 3), com);
        // Only its own unit spoke to it: one readiness check, a Get, one Download, the verifying Get.
        std::size_t at = 0, sets = 0, reads = 0;
        for (const auto& request : module.Requests()) {
            at += request.bytes == "AT\r\n";
            sets += request.bytes.starts_with("AT+DTUCFG=");
            reads += request.bytes == "AT+DTUCFG?\r\n";
        }
        EXPECT_EQ(at, 1u);
        EXPECT_EQ(sets, 1u);
        EXPECT_EQ(reads, 2u);
        const auto& r = records[module.Com()];
        EXPECT_EQ(r.outcome, records::Outcome::Passed);
        EXPECT_EQ(r.imsi, m_rack.Imsi(i));
        EXPECT_EQ(r.parameterFile, "line.xml");
        EXPECT_EQ(r.parameterSha256, digest);
        EXPECT_FALSE(r.station.empty());
        EXPECT_NE(std::find(r.values.begin(), r.values.end(),
                            records::SentValue{"mqtt.ClientId", "dtu-" + m_rack.Imsi(i)}),
                  r.values.end());
        EXPECT_NE(std::find(r.values.begin(), r.values.end(), records::SentValue{"tcp.Port", com}),
                  r.values.end());
    }

    // Again with the same file: every unit has passed with it already. Whether a unit is skipped
    // does not hang on the pacing: this run is paced by the answers.
    const auto again = Run({m_file, "--ports", Ports(), "--pace", "answer"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("4 units: 0 passed, 4 skipped"), std::string::npos) << again.out;
    EXPECT_EQ(Records().size(), 4u) << "a skipped unit leaves no record";
}

// The units of this test and the watch's are paced by the module's answers (passed on to them by
// provision); the first run above keeps the fixed pauses.
TEST_F(Provision, AUnitThatVanishesAndOneThatStoresWronglyAreRecordedWhileTheOthersPass) {
    StartRack(4);
    sim::Behaviour vanish;
    vanish.vanishMidAnswer = true;
    vanish.onlyFor = "AT+DTUCFG=";
    m_rack.Module(0).SetBehaviour(vanish);
    m_rack.Module(1).SetValue(sim::DtuModel::kDtuCfgStoreFault, "3=6000");
    const auto run = Run({m_file, "--set", "tcp.Port=6001", "--ports", Ports(), "--pace", "answer"});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    const std::string vanished = "COM" + std::to_string(m_rack.Module(0).Com());
    const std::string misstored = "COM" + std::to_string(m_rack.Module(1).Com());
    EXPECT_NE(run.out.find(vanished + "  " + m_rack.Imsi(0) + "  failed: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(misstored + "  " + m_rack.Imsi(1) +
                           "  mismatch: tcp.Port sent 6001, module reports 6000"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("4 units: 2 passed, 1 mismatched, 1 failed"), std::string::npos) << run.out;
    auto records = RecordsByPort();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[m_rack.Module(0).Com()].outcome, records::Outcome::Failed);
    EXPECT_FALSE(records[m_rack.Module(0).Com()].failure.empty());
    const auto& mismatch = records[m_rack.Module(1).Com()];
    EXPECT_EQ(mismatch.outcome, records::Outcome::Mismatch);
    EXPECT_EQ(mismatch.differences, (std::vector<records::VerifyDifference>{{"tcp.Port", "6001", "6000"}}));
    EXPECT_EQ(records[m_rack.Module(2).Com()].outcome, records::Outcome::Passed);
    EXPECT_EQ(records[m_rack.Module(3).Com()].outcome, records::Outcome::Passed);
}

TEST_F(Provision, ValuesAndOptionsAreCheckedBeforeAnyUnitStarts) {
    StartRack(1);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--set", "tcp.Prot=6001", "--ports", Ports()},
             {"--set", "tcp.Port=70000", "--ports", Ports()},
             {"--set", "mqtt.ClientIdd=dtu-{IMSI}", "--ports", Ports()},
             {"--ports", "0"},
             {"--ports", "201,x"},
             {"--record", "mysql://somewhere"},
             {"--jobs", "0"},
         }) {
        const auto run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << args.front() << " " << args[1] << ": " << run.err;
        EXPECT_NE(run.err.find("marlinq-cli provision: "), std::string::npos) << run.err;
    }
    // A value that a unit's facts make impossible refuses that unit with the rule's message (the
    // facts are read paced by the answers, which the refusal does not hang on).
    const auto run = Run({"--set", "tcp.Port={IMSI}", "--ports", Ports(), "--pace", "answer"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.out.find("failed: --set tcp.Port=" + m_rack.Imsi(0)), std::string::npos) << run.out;
    EXPECT_TRUE(m_rack.Module(0).Value(sim::DtuModel::kDtuCfgStoreFault).empty());
    for (const auto& request : m_rack.Module(0).Requests()) {
        EXPECT_FALSE(request.bytes.starts_with("AT+DTUCFG=")) << "nothing was downloaded";
    }
    const auto missing = Run({m_dir.Path().string() + "/no-such.xml", "--ports", Ports()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no-such.xml"), std::string::npos) << missing.err;
}

TEST_F(Provision, WatchProvisionsEachModuleAsItAppearsSkipsAPassedOneAndStopsOnCtrlC) {
    sim::DtuSimulator first;
    sim::DtuSimulator second;
    std::string error;
    sim::SimulatorOptions options;
    options.imsi = "001019000000400";
    ASSERT_TRUE(first.Start(options, &error)) << error;
    options.imsi = "001019000000401";
    ASSERT_TRUE(second.Start(options, &error)) << error;
    const int secondCom = second.Com();
    second.Stop();  // not plugged in yet
    // The watch at a twentieth: it looks for modules every 50 ms.
    ::setenv("MARLINQ_CLOCK_SCALE", "0.05", 1);
    auto watch = Start({m_file, "--watch", "--ports",
                        std::to_string(first.Com()) + "," + std::to_string(secondCom), "--pace", "answer"});
    watch->CloseInput();
    auto passed = [this](std::size_t n) {
        return testsupport::PollUntil(
            [&] { return fs::exists(m_dir.Path() / "marlinq-records.sqlite") && Records().size() >= n; },
            std::chrono::milliseconds(20000), std::chrono::milliseconds(10));
    };
    ASSERT_TRUE(passed(1));
    options.com = secondCom;
    ASSERT_TRUE(second.Start(options, &error)) << error;
    ASSERT_TRUE(passed(2));
    // The first unit is unplugged and plugged in again: seen again, but it passed with this file.
    first.Stop();
    first.ClearRequests();
    options.com = first.Com();
    options.imsi = "001019000000400";
    ASSERT_TRUE(testsupport::PollUntil([&] { return !first.Present(); }));
    // Out for a moment, as a person takes to plug it in again: three of the watch's looks.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_TRUE(first.Start(options, &error)) << error;
    ASSERT_TRUE(first.WaitForRequests(1, 20000));
    ::kill(watch->Pid(), SIGINT);
    const auto end = watch->Wait();
    EXPECT_NE(end.out.find("3 units: 2 passed, 1 skipped"), std::string::npos) << end.out << end.err;
    EXPECT_EQ(end.exitCode, 0) << "every unit passed or was skipped";
    EXPECT_EQ(Records().size(), 2u);
}

}  // namespace
