// Two module sessions in one process, each on its own simulated module: what a production station
// does with one session per attached unit.
#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "atlink/module_session.h"
#include "discovery/at_port.h"
#include "parameters/parameter_controls.h"
#include "parameters/parameter_ids.h"
#include "parameters/read_flow.h"
#include "platform/present_devices.h"
#include "tests/parameters/flow_fakes.h"
#include "tests/support/sim_fixture.h"

namespace marlinq::test {
namespace {

// The AT port of the module whose port is COM `com`, looked up among the present devices now; 0
// while that module is not there. Other modules present at the same time are not considered.
atlink::ModuleSession::PortFinder AtPortOf(int com) {
    return [com] {
        std::vector<platform::PresentSerialDevice> mine;
        for (const auto& device : platform::ListPresentSerialDevices()) {
            if (ComNumberFromFriendlyName(device.friendly) == com) {
                mine.push_back(device);
            }
        }
        return FindAtPortNumber(mine);
    };
}

// One unit under test: its session, the controls a Get fills and what the session logged.
struct Unit {
    explicit Unit(int com)
        : session(AtPortOf(com), [this](const std::string& line) { log.push_back(line); }) {
        parameters::InitParameterControls(main);
        tcp.check[IDC_TCP_CHK_HEX] = true;
    }
    parameters::FlowOutcome Get() {
        parameters::ReadFlow flow(main, tcp, session.At(),
                                  [this](const std::string& line) { log.push_back(line); });
        return flow.OnBtnGet();
    }

    std::vector<std::string> log;  // this unit's thread only
    atlink::ModuleSession session;
    parameters::test::MapControls main, tcp;
};

class TwoModules : public testsupport::SimulatorTest {
  protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        std::string error;
        ASSERT_TRUE(m_second.Start(sim::SimulatorOptions{}, &error)) << error;
        Configure(m_sim, "first.example", "4001", "apn.first", "460110000000001", "FIRST");
        Configure(m_second, "second.example", "4002", "apn.second", "460110000000002", "SECOND");
    }
    void TearDown() override {
        m_second.Stop();
        SimulatorTest::TearDown();
    }

    static void Configure(sim::DtuSimulator& module, const std::string& host, const std::string& port,
                          const std::string& apn, const std::string& imsi, const std::string& version) {
        module.SetValue("DTUCFG", "115200," + host + "," + port + ",TCP,0,,60,0A0B,0,100,0,50,1024,1,0,0,60");
        module.SetValue("APN", apn);
        module.SetValue("CIMI", imsi);
        module.SetValue("VER", version);
        sim::Behaviour slow;  // a fresh module's behaviour, only slower
        slow.answerDelayMs = 20;  // both Gets are under way at the same time
        module.SetBehaviour(slow);
    }

    static std::vector<std::string> Requests(const sim::DtuSimulator& module) {
        std::vector<std::string> out;
        for (const auto& r : module.Requests()) {
            out.push_back(r.bytes);
        }
        return out;
    }

    sim::DtuSimulator m_second;
};

TEST_F(TwoModules, TwoSessionsRunAGetAtOnceAndEachReadsOnlyItsOwnModule) {
    ASSERT_NE(m_sim.Com(), m_second.Com());
    Unit first(m_sim.Com());
    Unit second(m_second.Com());
    ASSERT_EQ(first.session.FindAtPort(), m_sim.Com());
    ASSERT_EQ(second.session.FindAtPort(), m_second.Com());

    parameters::FlowOutcome firstOutcome;
    parameters::FlowOutcome secondOutcome;
    std::latch start(2);
    std::thread a([&] {
        start.arrive_and_wait();
        firstOutcome = first.Get();
    });
    std::thread b([&] {
        start.arrive_and_wait();
        secondOutcome = second.Get();
    });
    a.join();
    b.join();

    EXPECT_TRUE(firstOutcome.Ok()) << firstOutcome.firstFailure;
    EXPECT_TRUE(secondOutcome.Ok()) << secondOutcome.firstFailure;
    EXPECT_EQ(first.tcp.text[IDC_TCP_ADDR1], "first.example");
    EXPECT_EQ(first.tcp.text[IDC_TCP_PORT1], "4001");
    EXPECT_EQ(first.main.text[IDC_EDIT_APN], "apn.first");
    EXPECT_EQ(first.main.text[IDC_EDIT_APP_VERSION], "FIRST");
    EXPECT_EQ(second.tcp.text[IDC_TCP_ADDR1], "second.example");
    EXPECT_EQ(second.tcp.text[IDC_TCP_PORT1], "4002");
    EXPECT_EQ(second.main.text[IDC_EDIT_APN], "apn.second");
    EXPECT_EQ(second.main.text[IDC_EDIT_APP_VERSION], "SECOND");

    // Each module heard one whole Get, request for request the same, and nothing of the other's.
    const auto firstRequests = Requests(m_sim);
    EXPECT_FALSE(firstRequests.empty());
    EXPECT_EQ(firstRequests, Requests(m_second));
    EXPECT_EQ(first.log, second.log) << "each session logged its own Get and nothing else";
    EXPECT_EQ(first.session.At().FirstPortFailure().outcome, atlink::AtOutcome::Answered);
    EXPECT_EQ(second.session.At().FirstPortFailure().outcome, atlink::AtOutcome::Answered);
}

TEST_F(TwoModules, ASessionWhoseModuleIsGoneFailsAloneAndTheOtherStillReadsItsModule) {
    Unit first(m_sim.Com());
    Unit second(m_second.Com());
    m_sim.Stop();  // the first unit is unplugged

    parameters::FlowOutcome firstOutcome;
    parameters::FlowOutcome secondOutcome;
    std::thread a([&] { firstOutcome = first.Get(); });
    std::thread b([&] { secondOutcome = second.Get(); });
    a.join();
    b.join();

    EXPECT_FALSE(firstOutcome.Ok());
    EXPECT_NE(std::find(first.log.begin(), first.log.end(), atlink::kNoScanAtPort), first.log.end());
    EXPECT_TRUE(secondOutcome.Ok()) << secondOutcome.firstFailure;
    EXPECT_EQ(second.tcp.text[IDC_TCP_ADDR1], "second.example");
    EXPECT_EQ(std::find(second.log.begin(), second.log.end(), atlink::kNoScanAtPort), second.log.end());
}

}  // namespace
}  // namespace marlinq::test
