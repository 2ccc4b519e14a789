// A session pinned to one COM number: every command and the console go to that port whatever
// the lookup or the hand-opened port says, the port stays held between commands, and a missing
// pinned port is a failure of that port with nothing sent anywhere.
#include <gtest/gtest.h>

#include <atomic>

#include "atlink/module_session.h"
#include "tests/support/sim_fixture.h"

namespace {

using atlink::AtOutcome;

class PinnedSession : public testsupport::SimulatorTest {
  protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        std::string error;
        ASSERT_TRUE(m_other.Start({}, &error)) << error;
    }
    void TearDown() override {
        m_other.Stop();
        SimulatorTest::TearDown();
    }
    // A session whose lookup would find the other module, as the scan takes the last AT port.
    std::unique_ptr<atlink::ModuleSession> Session() {
        return std::make_unique<atlink::ModuleSession>(
            [this] {
                ++m_lookups;
                return m_other.Com();
            },
            [this](const std::string& line) { m_log.push_back(line); });
    }

    sim::DtuSimulator m_other;
    std::atomic<int> m_lookups{0};
    std::vector<std::string> m_log;
};

}  // namespace

TEST_F(PinnedSession, EveryRuleAndTheConsoleUseThePinnedPortHeldBetweenCommands) {
    auto session = Session();
    session->PinPort(Com());
    EXPECT_EQ(session->FindAtPort(), Com());
    // A hand-opened port does not draw the manual-or-found rows away from the pinned one.
    ASSERT_TRUE(session->ManualPort().OpenPort(m_other.Com()));
    session->AutoPortFlag() = atlink::FALSE;
    atlink::AtClient& at = session->At();
    EXPECT_TRUE(at.ProbeAt());
    EXPECT_FALSE(at.QueryDtuCfg().empty());        // manual or found
    EXPECT_EQ(at.QueryCimi(), sim::kDefaultImsi);  // found only
    EXPECT_TRUE(at.EnableAdb() != atlink::FALSE);  // found, three tries
    at.SendConsoleCommand("AT+CSQ");               // the console
    EXPECT_EQ(testsupport::RequestBytes(m_sim),
              (std::vector<std::string>{"AT\r\n", "AT+DTUCFG?\r\n", "AT+CIMI\r\n", "AT+CUSBADB=1\r\n",
                                        "AT+CSQ\r\n"}));
    EXPECT_TRUE(m_other.Requests().empty());
    EXPECT_EQ(m_lookups.load(), 0);
    ASSERT_FALSE(m_log.empty());
    EXPECT_EQ(m_log.back().find("+CSQ: 23,99"), 2u) << m_log.back();

    // Between two commands the port stays held: another holder is turned away.
    ASSERT_TRUE(session->PinnedHold().IsOpen());
    atlink::CSerialPort second;
    EXPECT_EQ(second.Send(Com(), "AT").report.outcome, AtOutcome::Busy);
    EXPECT_EQ(m_sim.Requests().size(), 5u);
    session.reset();
    EXPECT_EQ(second.Send(Com(), "AT").report.outcome, AtOutcome::Answered);
}

TEST_F(PinnedSession, AMissingPinnedPortFailsAsThatPortAndNothingIsSent) {
    auto session = Session();
    const int missing = Com();
    m_sim.Stop();
    session->PinPort(missing);
    atlink::AtClient& at = session->At();
    at.BeginTally();
    EXPECT_FALSE(at.ProbeAt());
    EXPECT_TRUE(at.QueryDtuCfg().empty());
    const atlink::AtOutcomeReport failure = at.FirstPortFailure();
    EXPECT_EQ(failure.outcome, AtOutcome::NoSuchPort);
    EXPECT_EQ(failure.port, missing);
    EXPECT_FALSE(session->PinnedHold().IsOpen());
    EXPECT_TRUE(m_other.Requests().empty());
    EXPECT_EQ(m_lookups.load(), 0);
}

TEST_F(PinnedSession, APortThatWentAwayIsLetGoAndOpenedAgainByTheNextCommand) {
    auto session = Session();
    session->PinPort(Com());
    atlink::AtClient& at = session->At();
    ASSERT_TRUE(at.ProbeAt());
    sim::Behaviour vanish;
    vanish.vanishMidAnswer = true;
    m_sim.SetBehaviour(vanish);
    at.SendConsoleCommand("AT+CSQ");  // the console reads long enough to see the line hang up
    EXPECT_EQ(at.LastCommand().report.outcome, AtOutcome::Lost);
    EXPECT_FALSE(session->PinnedHold().IsOpen());
    // The next command tries the port again, and finds it gone.
    EXPECT_FALSE(at.ProbeAt());
    EXPECT_EQ(at.LastCommand().report.outcome, AtOutcome::NoSuchPort);
    EXPECT_TRUE(m_other.Requests().empty());
}
