#include "simulator/dtu_simulator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "atlink/at_serial_port.h"
#include "discovery/at_port.h"
#include "platform/virtual_devices.h"
#include "tests/support/poll.h"
#include "tests/support/sim_fixture.h"

namespace {

using SimulatorRun = testsupport::SimulatorTest;

int AdbDevices() {
    int n = 0;
    for (const auto& dev : platform::ListVirtualDevices()) {
        n += dev.adb ? 1 : 0;
    }
    return n;
}

}  // namespace

TEST_F(SimulatorRun, RegistersAsTheAtPort) {
    EXPECT_GE(Com(), 201);
    EXPECT_EQ(FindAtPortNumber(), Com());
    const auto devices = platform::ListVirtualDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].friendly, "Simulated DTU AT Port (COM" + std::to_string(Com()) + ")");
    EXPECT_EQ(devices[0].path, m_sim.PortPath());
    EXPECT_NE(std::find(devices[0].hwids.begin(), devices[0].hwids.end(), "USB\\VID_1E0E&PID_9001&MI_00"),
              devices[0].hwids.end());
    m_sim.Stop();
    EXPECT_TRUE(platform::ListVirtualDevices().empty());
}

TEST_F(SimulatorRun, TwoSimulatorsTakeDifferentNumbersAndTheLastIsTheAtPort) {
    sim::DtuSimulator second;
    std::string error;
    ASSERT_TRUE(second.Start({}, &error)) << error;
    EXPECT_NE(second.Com(), Com());
    EXPECT_EQ(FindAtPortNumber(), std::max(second.Com(), Com()));
    atlink::CSerialPort a;
    atlink::CSerialPort b;
    EXPECT_TRUE(a.RunSetCycle(Com(), "AT\r\n"));
    EXPECT_TRUE(b.RunSetCycle(second.Com(), "AT\r\n"));
    EXPECT_EQ(m_sim.Requests().size(), 1u);
    EXPECT_EQ(second.Requests().size(), 1u);
}

TEST_F(SimulatorRun, ResetMakesTheDeviceDisappearAndComeBack) {
    sim::Behaviour b;
    b.resetAbsentMs = 30000;  // 300 ms at the test scale
    m_sim.SetBehaviour(b);
    atlink::CSerialPort port;
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CRESET\r\n"));
    ASSERT_TRUE(testsupport::PollUntil([&] { return !m_sim.Present(); }));
    EXPECT_EQ(FindAtPortNumber(), 0);
    EXPECT_FALSE(port.OpenPort(Com()));  // no node is known for the number while it is away
    ASSERT_TRUE(testsupport::PollUntil([&] { return m_sim.Present(); }));
    EXPECT_EQ(FindAtPortNumber(), Com());
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT\r\n"));
}

TEST_F(SimulatorRun, AdbSwitchRegistersAndRemovesTheAdbInterface) {
    atlink::CSerialPort port;
    EXPECT_EQ(AdbDevices(), 0);
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CUSBADB=1\r\n"));
    EXPECT_TRUE(m_sim.AdbEnabled());
    EXPECT_EQ(AdbDevices(), 1);
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CUSBADB=0\r\n"));
    EXPECT_EQ(AdbDevices(), 0);
}

TEST_F(SimulatorRun, RecordsRequestsInOrderWithTimes) {
    atlink::CSerialPort port;
    port.RunSetCycle(Com(), "AT+CNMP=13\r\n");
    port.RunSetCycle(Com(), "AT+CNMP?\r\n");
    const auto requests = m_sim.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].bytes, "AT+CNMP=13\r\n");
    EXPECT_EQ(requests[1].bytes, "AT+CNMP?\r\n");
    EXPECT_LT(requests[0].at, requests[1].at);
    m_sim.ClearRequests();
    EXPECT_TRUE(m_sim.Requests().empty());
}

TEST_F(SimulatorRun, ErrorModeAnswersErrorToEverything) {
    sim::Behaviour b;
    b.errorAll = true;
    m_sim.SetBehaviour(b);
    atlink::CSerialPort port;
    std::string answer;
    ASSERT_TRUE(port.RunCycle(Com(), atlink::AtCycle{"AT\r\n"}, &answer));
    EXPECT_EQ(answer, "\r\nERROR\r\n");
}

TEST(SimulatorStart, ReplacesTheFileOfASimulatorThatDied) {
    platform::VirtualDevice stale;
    stale.path = "/dev/null";
    stale.com = 777;
    stale.pid = 999999999;
    ASSERT_FALSE(platform::WriteVirtualDevice("dtusim-COM777", stale, true).empty());
    sim::DtuSimulator sim;
    sim::SimulatorOptions options;
    options.com = 777;
    std::string error;
    ASSERT_TRUE(sim.Start(options, &error)) << error;
    EXPECT_EQ(sim.Com(), 777);
    EXPECT_EQ(FindAtPortNumber(), 777);
}

namespace {

// Everything the module sends within `reads` reads of the port after a request; with `until`,
// the reads stop once the bytes end with it.
struct RawExchange {
    std::string bytes;
    bool readFailed = false;
};

RawExchange Exchange(int com, const std::string& request, int reads, const std::string& until = "") {
    RawExchange out;
    atlink::CSerialPort port;
    if (!port.OpenPort(com)) {
        out.readFailed = true;
        return out;
    }
    port.WriteData(request.c_str(), static_cast<int>(request.size()));
    for (int i = 0; i < reads; ++i) {
        char buffer[atlink::CSerialPort::kReadLimit + 1] = {};
        atlink::DWORD count = 0;
        if (!port.ReadData(buffer, &count)) {
            out.readFailed = true;
            break;
        }
        out.bytes.append(buffer, count);
        if (!until.empty() && out.bytes.ends_with(until)) {
            break;
        }
        platform::Clock::Pause(10);
    }
    port.ClosePort();
    return out;
}

}  // namespace

TEST_F(SimulatorRun, FaultModesBreakTheAnswerAsAFaultyModuleWould) {
    const std::string whole = "\r\n+CSQ: 23,99\r\n\r\nOK\r\n";
    sim::Behaviour b;
    b.garbageAnswer = true;
    m_sim.SetBehaviour(b);
    const RawExchange noise = Exchange(Com(), "AT+CSQ\r\n", 20, sim::GarbageNoise());
    EXPECT_EQ(noise.bytes, sim::GarbageNoise());
    EXPECT_EQ(noise.bytes.find_first_of("\r\n"), std::string::npos);

    b = sim::Behaviour{};
    b.endlessStream = true;
    m_sim.SetBehaviour(b);
    const RawExchange stream = Exchange(Com(), "AT+CSQ\r\n", 60);
    EXPECT_GT(stream.bytes.size(), 2000u);  // far more than one answer, and no final result
    EXPECT_EQ(stream.bytes.find("OK"), std::string::npos);
    EXPECT_NE(stream.bytes.find(sim::kStreamLine), std::string::npos);

    b = sim::Behaviour{};
    b.splitChunk = 1;
    b.splitGapMs = 50;
    m_sim.SetBehaviour(b);
    const std::size_t answered = m_sim.AnswersSent();
    // Read until the final result has come, one byte at a time; the module has then sent its
    // whole answer, and nothing before the final result was lost or doubled.
    const RawExchange trickle = Exchange(Com(), "AT+CSQ\r\n", 60, "OK\r\n");
    EXPECT_EQ(trickle.bytes, whole);
    EXPECT_TRUE(m_sim.WaitForAnswers(answered + 1, 2000));

    b = sim::Behaviour{};
    b.answerDelayMs = 20000;  // 0.2 s at the test's scale: well after the two reads
    m_sim.SetBehaviour(b);
    EXPECT_EQ(Exchange(Com(), "AT+CSQ\r\n", 2).bytes, "");
    EXPECT_TRUE(m_sim.WaitForAnswers(answered + 2, 5000));  // it does answer, late

    b = sim::Behaviour{};
    b.vanishMidAnswer = true;
    m_sim.SetBehaviour(b);
    // The line hangs up 200 ms after the half answer, and a hang-up drops what was not read: at
    // half of real time the reader, already waiting, has the half long before, on a loaded
    // machine too (at the test's scale the hang-up came 2 ms after it and sometimes first).
    const platform::ScopedClockScale half(0.5);
    const RawExchange vanish = Exchange(Com(), "AT+CSQ\r\n", 20);
    EXPECT_EQ(vanish.bytes, whole.substr(0, whole.size() / 2));
    EXPECT_TRUE(vanish.readFailed);
    EXPECT_TRUE(m_sim.Vanished());
    EXPECT_EQ(FindAtPortNumber(), 0);
    atlink::CSerialPort gone;
    EXPECT_FALSE(gone.OpenPort(Com()));
}
