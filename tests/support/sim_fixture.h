// A running simulator and a scaled clock for tests that cross the serial line.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "atlink/at_log.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/read_file.h"

namespace testsupport {

// Pauses run at a hundredth of their length, the simulator's as well as the tool's, and so does a
// serial read's wait for its first byte, down to its floor of a few milliseconds (SerialReadWait);
// a module fault that must outlast that wait is given a length that does so here.
inline constexpr double kTestClockScale = 0.01;

// For fixed-pacing runs on the tests' clock, whose pauses then take a few milliseconds: while a
// PatientReads lives, a read waits up to kPatientReadFloorMs for an answer's first byte, so that a
// loaded machine does not miss an answer behind those pauses. Only a read that gets nothing waits
// it in full.
inline constexpr std::uint32_t kPatientReadFloorMs = 40;

class PatientReads : public platform::ScopedSerialReadFloor {
  public:
    PatientReads() : platform::ScopedSerialReadFloor(kPatientReadFloorMs) {}
};

class SimulatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(m_sim.Start(sim::SimulatorOptions{}, &error)) << error;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_logDir =
            std::filesystem::temp_directory_path() / ("marlinq-log-" + std::string(info->test_suite_name()) +
                                                      "-" + info->name() + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_logDir);
        std::filesystem::create_directories(m_logDir);
        atlink::SetAtLogDirectoryOverride(m_logDir.string() + "/");
    }
    void TearDown() override {
        m_sim.Stop();
        atlink::SetAtLogDirectoryOverride("");
        std::error_code ec;
        std::filesystem::remove_all(m_logDir, ec);
    }

    std::string LogText() const { return ReadFile(m_logDir / atlink::kAtLogFileName); }
    bool LogExists() const { return std::filesystem::exists(m_logDir / atlink::kAtLogFileName); }
    int Com() const { return m_sim.Com(); }

    platform::ScopedClockScale m_scale{kTestClockScale};
    sim::DtuSimulator m_sim;
    std::filesystem::path m_logDir;
};

// The bytes of every request the simulator heard, in order.
inline std::vector<std::string> RequestBytes(const sim::DtuSimulator& module) {
    std::vector<std::string> out;
    for (const auto& r : module.Requests()) {
        out.push_back(r.bytes);
    }
    return out;
}

}  // namespace testsupport
