// The port-choice rules of the AT client, against the simulator, without a window.
#include "atlink/at_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "tests/atlink/client_fixture.h"

namespace {

using atlink::AtClient;

using testsupport::RequestBytes;

// The fixture's simulator is the module; the lookup finds it unless told otherwise.
class AtClientTest : public testsupport::AtClientOverSimulator {};

TEST_F(AtClientTest, WithoutAnAtPortEachRuleLogsItsMessageAndFails) {
    m_found = 0;
    AtClient& c = Client();
    EXPECT_EQ(c.SetDtuCfg("x"), atlink::FALSE);
    EXPECT_EQ(c.QueryCnmp(), "");
    EXPECT_EQ(c.ClearAuth(), atlink::FALSE);
    EXPECT_EQ(c.ResetModule(), atlink::FALSE);
    EXPECT_EQ(c.QueryCimi(), "");
    EXPECT_EQ(c.QueryAdb(), 0);
    EXPECT_EQ(c.EnableAdb(), atlink::FALSE);
    EXPECT_EQ(c.HideAdb(), atlink::FALSE);
    EXPECT_EQ(Count("No scan AT port! "), 3);    // SetDtuCfg, QueryCnmp, QueryCimi
    EXPECT_EQ(Count("AT port not found! "), 5);  // one per call: no try is made
    EXPECT_EQ(m_lookups.load(), 8);
    EXPECT_TRUE(m_sim.Requests().empty());
    m_found = -3;  // anything below 1 counts as no port
    EXPECT_EQ(c.SetApn("x"), atlink::FALSE);
    EXPECT_EQ(Count("No scan AT port! "), 4);
}

TEST_F(AtClientTest, FoundPortCarriesEveryCommandToTheModule) {
    AtClient& c = Client();
    EXPECT_TRUE(c.SetApn("internet"));
    EXPECT_EQ(c.QueryApn(), "internet");
    EXPECT_TRUE(c.SetCnmp("38"));
    EXPECT_EQ(c.QueryCnmp(), "38");
    EXPECT_TRUE(c.SetAuth("1,1,\"pw\",\"user\""));
    EXPECT_EQ(c.QueryAuth(), "1,1,\"user\",\"pw\"");  // the module reports the user first
    EXPECT_TRUE(c.ClearAuth());
    EXPECT_EQ(c.QueryCimi(), "001010123456789");
    EXPECT_EQ(c.QueryAdb(), 1);
    EXPECT_TRUE(c.EnableAdb());
    EXPECT_EQ(c.QueryAdb(), 2);
    EXPECT_TRUE(c.HideAdb());
    EXPECT_TRUE(c.SetDtuMode("1"));
    EXPECT_EQ(m_sim.Requests().back().bytes, "AT+DTUMODE=1\r\n");
    EXPECT_FALSE(m_manual.IsOpen());
    EXPECT_TRUE(Log().empty()) << "a working command logs nothing of its own";
}

TEST_F(AtClientTest, ManualOrFoundPortUsesTheHandOpenedPortEvenWhenItIsNotTheModule) {
    sim::DtuSimulator other;
    sim::SimulatorOptions plain;
    plain.friendlyFormat = "Plain Serial Port (COM%d)";
    std::string error;
    ASSERT_TRUE(other.Start(plain, &error)) << error;
    ASSERT_TRUE(m_manual.OpenPort(other.Com()));
    m_autoPort = atlink::FALSE;
    AtClient& c = Client();
    EXPECT_TRUE(c.SetCnmp("13"));
    EXPECT_TRUE(c.ResetModule());
    EXPECT_EQ(RequestBytes(other), (std::vector<std::string>{"AT+CNMP=13\r\n", "AT+CRESET\r\n"}));
    EXPECT_TRUE(m_sim.Requests().empty());
    EXPECT_EQ(m_lookups.load(), 0) << "no lookup while a port is open by hand";
    // A silent hand-opened port: the command fails and says nothing; the port stays open.
    sim::Behaviour silent;
    silent.silent = true;
    other.SetBehaviour(silent);
    EXPECT_FALSE(c.SetDtuMode("1"));
    EXPECT_EQ(c.QueryDtuCfg(), "");
    EXPECT_TRUE(m_manual.IsOpen());
    // Found port only: the IMSI and ADB queries always go to the module's AT port.
    EXPECT_EQ(c.QueryCimi(), "001010123456789");
    EXPECT_EQ(c.QueryAdb(), 1);
    EXPECT_EQ(RequestBytes(m_sim), (std::vector<std::string>{"AT+CIMI\r\n", "AT+CUSBADB?\r\n"}));
    EXPECT_TRUE(Log().empty());
    // Back to the automatic port: the found port again.
    m_autoPort = atlink::TRUE;
    EXPECT_TRUE(c.SetCnmp("38"));
    EXPECT_EQ(m_sim.Requests().back().bytes, "AT+CNMP=38\r\n");
}

TEST_F(AtClientTest, ClosingTheHandOpenedPortWaitsForTheCommandOnIt) {
    ASSERT_TRUE(m_manual.OpenPort(Com()));
    m_autoPort = atlink::FALSE;
    AtClient& c = Client();
    platform::ScopedClockScale tenth(0.1);  // the answer's 20 ms fit inside the 30 ms read pause
    sim::Behaviour slow;
    slow.answerDelayMs = 200;  // the answer arrives inside the read pause
    m_sim.SetBehaviour(slow);
    std::string answer;
    std::thread command([&] { answer = c.QueryCnmp(); });
    ASSERT_TRUE(m_sim.WaitForRequests(1, 10000));  // the command holds the port now
    {
        auto lock = m_manual.LockTransaction();  // as closing the port by hand does
        m_autoPort = atlink::TRUE;
        m_manual.ClosePort();
    }
    command.join();
    EXPECT_EQ(answer, "2") << "the port was closed only after the command";
}

TEST_F(AtClientTest, FoundPortThreeTriesRetriesARefusingModuleOnThePortFoundOnce) {
    AtClient& c = Client();
    m_sim.SetReply("AT+CUSBADB=1", "\r\n+CME ERROR: 100\r\n");
    std::vector<std::size_t> triesBeforeRetryPause;  // requests made when each 3 s pause begins
    {
        platform::ScopedPauseObserver observer([&](std::uint32_t ms) {
            if (ms == AtClient::kAdbRetryPauseMs) {
                triesBeforeRetryPause.push_back(m_sim.Requests().size());
            }
        });
        EXPECT_FALSE(c.EnableAdb());
    }
    EXPECT_EQ(RequestBytes(m_sim), std::vector<std::string>(3, "AT+CUSBADB=1\r\n"));
    EXPECT_EQ(m_lookups.load(), 1) << "the port is looked up once, before the first try";
    EXPECT_EQ(triesBeforeRetryPause, (std::vector<std::size_t>{1, 2})) << "a 3 s pause between the tries";
    EXPECT_TRUE(Log().empty()) << "the caller words the failure";

    // A success ends the tries at once; a second try that succeeds is the result.
    m_sim.ClearRequests();
    m_sim.ClearReplies();
    EXPECT_TRUE(c.HideAdb());
    EXPECT_EQ(m_sim.Requests().size(), 1u);
}

TEST_F(AtClientTest, ConsoleEchoesTheCommandAndLogsTheRawAnswerOfTheFoundPort) {
    ASSERT_TRUE(m_manual.OpenPort(Com()));  // held by hand: the console's own open fails
    m_autoPort = atlink::FALSE;
    AtClient& c = Client();
    c.SendConsoleCommand("AT+CSQ");
    EXPECT_EQ(Log(), std::vector<std::string>{"AT+CSQ"});
    EXPECT_TRUE(m_sim.Requests().empty());
    m_manual.ClosePort();
    m_autoPort = atlink::TRUE;

    c.SendConsoleCommand("AT+CSQ");
    ASSERT_EQ(Log().size(), 3u);
    EXPECT_EQ(Log()[2], "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    c.SendConsoleCommand("AT+A\r\nAT+B");
    EXPECT_EQ(Log().back(), "The command holds a line break and was not sent!");
    m_found = 0;
    c.SendConsoleCommand("AT+CPIN?");
    EXPECT_EQ(Log().back(), "No scan AT port! ");
    EXPECT_EQ(RequestBytes(m_sim), std::vector<std::string>{"AT+CSQ\r\n"});
}

}  // namespace

// Answers owed on the port: the module answers in order, so an "OK" that comes after its own
// transaction gave up belongs to that request, never to the next one.
class OwedAnswerTest : public AtClientTest {
  protected:
    void TearDown() override {
        if (m_sender.joinable()) {
            m_sender.join();
        }
        AtClientTest::TearDown();
    }
    std::thread m_sender;
};

TEST_F(OwedAnswerTest, ALateOkIsNotTheNextCommandsAnswer) {
    // At a fifth of real time the next command's read pause is 60 ms: the late OK lands at once
    // within it, and the delayed ERROR 30 ms into it.
    platform::ScopedClockScale fifth(0.2);
    m_sim.SetReply("AT+HOST=x", "");  // its OK comes late, below
    m_sim.SetReply("AT+MQTTCFG=a", "\r\nERROR\r\n");
    sim::Behaviour b;
    b.answerDelayMs = 150;
    b.onlyFor = "AT+MQTTCFG";
    m_sim.SetBehaviour(b);
    m_sender = std::thread([this] {
        if (m_sim.WaitForRequests(2, 20000)) {
            m_sim.SendUnsolicited("\r\nOK\r\n");  // the host's answer, after the next request
        }
    });
    AtClient& c = Client();
    EXPECT_EQ(c.SetHost("x"), atlink::FALSE);
    EXPECT_EQ(c.SetMqttCfg("a"), atlink::FALSE);  // its own answer is the ERROR
    EXPECT_EQ(c.LastCommand().report.outcome, atlink::AtOutcome::Answered);
    m_sender.join();
    EXPECT_EQ(c.SetCnmp("2"), atlink::TRUE);  // nothing is owed any more
    // The late OK is on record, read after the request it was not the answer of.
    const std::string log = LogText();
    const auto request = log.find("Send: AT+MQTTCFG=a");
    ASSERT_NE(request, std::string::npos) << log;
    EXPECT_NE(log.find("Recv: \r\r\nOK", request), std::string::npos) << log;
}

TEST_F(OwedAnswerTest, AnAnswerThatCameWhileNobodyListenedIsNotWaitedFor) {
    m_sim.SetReply("AT+HOST=x", "");
    AtClient& c = Client();
    EXPECT_EQ(c.SetHost("x"), atlink::FALSE);
    m_sim.SendUnsolicited("\r\nOK\r\n");  // late, but before the next request: the flush takes it
    platform::Clock::Pause(50);
    EXPECT_EQ(c.SetCnmp("2"), atlink::TRUE);
}

TEST_F(OwedAnswerTest, AnAnswerThatNeverComesIsForgottenInTime) {
    m_sim.SetReply("AT+HOST=x", "");
    AtClient& c = Client();
    EXPECT_EQ(c.SetHost("x"), atlink::FALSE);
    EXPECT_EQ(c.Ledger().Owed(Com()), 1);
    // Without a limit every later answer would be taken for the one before it.
    platform::Clock::Pause(atlink::AnswerLedger::kOwedForMs + 100);
    EXPECT_EQ(c.Ledger().Owed(Com()), 0);
    EXPECT_EQ(c.SetCnmp("2"), atlink::TRUE);
}
