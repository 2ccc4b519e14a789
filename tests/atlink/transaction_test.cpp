// The standard cycle and SendAtCommand against the simulator.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "atlink/answer_text.h"
#include "atlink/serial_port.h"
#include "tests/support/sim_fixture.h"

namespace {

using TransactionTest = testsupport::SimulatorTest;

int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

}  // namespace

TEST_F(TransactionTest, PortOpeningCycleSendsTheExactRequestAndClosesThePort) {
    CSerialPort port;
    std::string answer;
    ASSERT_TRUE(port.RunCycle(Com(), AtCycle{"AT+DTUCFG=1,\"a b\",x\r\n"}, &answer));
    EXPECT_FALSE(port.IsOpen());
    ASSERT_EQ(m_sim.Requests().size(), 1u);
    EXPECT_EQ(m_sim.Requests()[0].bytes, "AT+DTUCFG=1,\"a b\",x\r\n");
    EXPECT_EQ(answer, "\r\nERROR\r\n");  // the simulator wants 17 fields
    const std::string log = LogText();
    EXPECT_EQ(CountOf(log, "Send: "), 1);
    EXPECT_EQ(CountOf(log, "Recv: "), 1);
}

TEST_F(TransactionTest, SetCycleSucceedsOnlyWhenTheAnswerHoldsOk) {
    CSerialPort port;
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CNMP=38\r\n"));
    EXPECT_EQ(m_sim.Value("CNMP"), "38");
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+CNMP=77\r\n"));
    m_sim.SetReply("AT+HOST=x", "\r\n+NOTICE: BOOKED\r\nERROR\r\n");
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+HOST=x\r\n"));  // "OK" inside "BOOKED" counts
    m_sim.SetReply("AT+HOST=y", "\r\n+CME ERROR: 3\r\n");
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+HOST=y\r\n"));
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(TransactionTest, SilentModuleGivesTheFailureValueAndLeavesThePortClosed) {
    sim::Behaviour b;
    b.silent = true;
    m_sim.SetBehaviour(b);
    CSerialPort port;
    std::string answer = "stale";
    EXPECT_FALSE(port.RunCycle(Com(), AtCycle{"AT+CSQ\r\n"}, &answer));
    EXPECT_EQ(answer, "");
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+CNMP=2\r\n"));
    EXPECT_FALSE(port.IsOpen());
    CSerialPort other;
    EXPECT_TRUE(other.OpenPort(Com()));  // nothing holds it any more
    other.ClosePort();
}

TEST_F(TransactionTest, AnswerLaterThanThePauseIsAFailure) {
    sim::Behaviour b;
    b.answerDelayMs = 1500;  // well after 100 + 300 ms and the read's 20 ms
    m_sim.SetBehaviour(b);
    CSerialPort port;
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+CNMP=2\r\n"));
}

TEST_F(TransactionTest, HeldPortFailsAtOpenAndLogsNothing) {
    CSerialPort holder;
    ASSERT_TRUE(holder.OpenPort(Com()));
    CSerialPort port;
    std::string answer;
    EXPECT_FALSE(port.RunCycle(Com(), AtCycle{"AT+CSQ\r\n"}, &answer));
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+CSQ"), "");
    holder.ClosePort();
    EXPECT_FALSE(LogExists());
    EXPECT_TRUE(m_sim.Requests().empty());
}

TEST_F(TransactionTest, OpenPortFormLeavesThePortOpenAndFailsQuietlyWhenClosed) {
    CSerialPort port;
    EXPECT_FALSE(port.RunSetCycle("AT+CNMP=2\r\n"));
    EXPECT_FALSE(LogExists());

    ASSERT_TRUE(port.OpenPort(Com()));
    EXPECT_TRUE(port.RunSetCycle("AT+CNMP=13\r\n"));
    EXPECT_TRUE(port.IsOpen());
    std::string answer;
    EXPECT_TRUE(port.RunCycle(AtCycle{"AT+CNMP?\r\n"}, &answer));
    EXPECT_EQ(atlink::CutValue(answer, "+CNMP: ", "\r\n", 200), "13");
    port.ClosePort();
}

TEST_F(TransactionTest, OpenPortFormReadsALateAnswerAsTheStartOfTheNext) {
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    m_sim.SetReply("AT+SLOW", "");  // answers nothing itself
    std::string answer;
    EXPECT_FALSE(port.RunCycle(AtCycle{"AT+SLOW\r\n"}, &answer));
    m_sim.SendUnsolicited("\r\nLATE\r\n");
    platform::Clock::Pause(50);
    EXPECT_TRUE(port.RunCycle(AtCycle{"AT\r\n"}, &answer));
    EXPECT_EQ(answer.rfind("\r\nLATE\r\n", 0), 0u) << answer;
    port.ClosePort();
}

TEST_F(TransactionTest, OpenPortTransactionsFromTwoThreadsDoNotInterleave) {
    // Each request gets its own answer; without the transaction lock one thread's write could
    // fall between the other's write and read, and the answers would be swapped or merged.
    for (int i = 0; i < 8; ++i) {
        m_sim.SetReply("AT+ID=" + std::to_string(i), "\r\n+ID: " + std::to_string(i) + "\r\nOK\r\n");
    }
    CSerialPort shared;
    ASSERT_TRUE(shared.OpenPort(Com()));
    std::atomic<int> mismatches{0};
    auto worker = [&](int first) {
        for (int i = first; i < 8; i += 2) {
            std::string answer;
            shared.RunCycle(AtCycle{"AT+ID=" + std::to_string(i) + "\r\n", 10, 30}, &answer);
            if (answer != "\r\n+ID: " + std::to_string(i) + "\r\nOK\r\n") {
                ++mismatches;
            }
        }
    };
    std::thread a(worker, 0);
    std::thread b(worker, 1);
    a.join();
    b.join();
    shared.ClosePort();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST_F(TransactionTest, RequestFollowsThePauseBeforeTheWrite) {
    // The module sees the request only after the pause that follows the open.
    CSerialPort port;
    std::vector<std::pair<std::uint32_t, std::size_t>> pauses;  // length, requests seen by then
    {
        platform::ScopedPauseObserver observer(
            [&](std::uint32_t ms) { pauses.emplace_back(ms, m_sim.Requests().size()); });
        EXPECT_TRUE(port.RunSetCycle(Com(), "AT\r\n"));
    }
    ASSERT_EQ(m_sim.Requests().size(), 1u);
    ASSERT_FALSE(pauses.empty());
    EXPECT_EQ(pauses[0], (std::pair<std::uint32_t, std::size_t>{100, 0})) << "the pause comes first";
}

TEST_F(TransactionTest, SendAtCommandAddsCrLfAndReturnsTheAnswerWithOk) {
    CSerialPort port;
    const std::string answer = port.SendAtCommand(Com(), "AT+CSQ");
    EXPECT_EQ(answer, "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    ASSERT_EQ(m_sim.Requests().size(), 1u);
    EXPECT_EQ(m_sim.Requests()[0].bytes, "AT+CSQ\r\n");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+NOSUCH"), "\r\nERROR\r\n");
}

TEST_F(TransactionTest, SendAtCommandKeepsOnlyTheReadThatHoldsOk) {
    sim::Behaviour b;
    b.unsolicited = {"\r\n+URC: first\r\n", "\r\n+URC: second\r\n"};
    b.unsolicitedGapMs = 600;  // several polls apart
    m_sim.SetBehaviour(b);
    CSerialPort port;
    const std::string answer = port.SendAtCommand(Com(), "AT+CSQ");
    EXPECT_EQ(answer, "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    const std::string log = LogText();
    EXPECT_NE(log.find("+URC: first"), std::string::npos);  // earlier reads are only in the log
    EXPECT_NE(log.find("+URC: second"), std::string::npos);
}

TEST_F(TransactionTest, SendAtCommandGivesUpAfterFiftyReads) {
    sim::Behaviour b;
    b.answerDelayMs = 60000;
    m_sim.SetBehaviour(b);
    CSerialPort port;
    std::vector<std::uint32_t> pauses;
    {
        platform::ScopedPauseObserver observer([&](std::uint32_t ms) { pauses.push_back(ms); });
        EXPECT_EQ(port.SendAtCommand(Com(), "AT+CSQ"), "");
    }
    // The pauses around the write, then one pause after each of the 50 reads that found nothing.
    ASSERT_EQ(pauses.size(), 52u);
    EXPECT_EQ(std::count(pauses.begin() + 2, pauses.end(), pauses.back()), 50);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(TransactionTest, SendAtCommandSeesAnAnswerSplitAcrossReads) {
    sim::Behaviour b;
    b.splitChunk = 4;
    b.splitGapMs = 60;
    m_sim.SetBehaviour(b);
    CSerialPort port;
    // The read that completes "OK" holds only the last piece(s): that is all the result keeps.
    const std::string answer = port.SendAtCommand(Com(), "AT+CSQ");
    EXPECT_NE(answer.find("OK"), std::string::npos);
    EXPECT_LT(answer.size(), std::string("\r\n+CSQ: 23,99\r\n\r\nOK\r\n").size());
}

TEST_F(TransactionTest, GarbageBeforeTheAnswerDoesNotHideOk) {
    sim::Behaviour b;
    b.garbage = std::string("\x01\xFE\x7F junk", 8);
    m_sim.SetBehaviour(b);
    CSerialPort port;
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CNMP=2\r\n"));
}

TEST_F(TransactionTest, EchoedRequestStillSucceeds) {
    m_sim.SetEcho(true);
    CSerialPort port;
    std::string answer;
    ASSERT_TRUE(port.RunCycle(Com(), AtCycle{"AT+CNMP?\r\n"}, &answer));
    EXPECT_EQ(answer, "AT+CNMP?\r\n\r\n+CNMP: 2\r\n\r\nOK\r\n");
}

TEST_F(TransactionTest, UnwritableLogDirectoryDoesNotStopTransactions) {
    atlink::SetAtLogDirectoryOverride("/dev/null/");
    CSerialPort port;
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CNMP=38\r\n"));
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+CSQ"), "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    EXPECT_FALSE(LogExists());
}
