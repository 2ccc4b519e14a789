// The standard cycle and SendAtCommand against the simulator.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "atlink/answer_text.h"
#include "atlink/at_serial_port.h"
#include "platform/serial_port.h"
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
    atlink::CSerialPort port;
    std::string answer;
    ASSERT_TRUE(port.RunCycle(Com(), atlink::AtCycle{"AT+DTUCFG=1,\"a b\",x\r\n"}, &answer));
    EXPECT_FALSE(port.IsOpen());
    ASSERT_EQ(m_sim.Requests().size(), 1u);
    EXPECT_EQ(m_sim.Requests()[0].bytes, "AT+DTUCFG=1,\"a b\",x\r\n");
    EXPECT_EQ(answer, "\r\nERROR\r\n");  // the simulator wants 17 fields
    const std::string log = LogText();
    EXPECT_EQ(CountOf(log, "Send: "), 1);
    EXPECT_EQ(CountOf(log, "Recv: "), 1);
}

TEST_F(TransactionTest, SetCycleSucceedsOnlyWhenTheAnswerHoldsOk) {
    atlink::CSerialPort port;
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CNMP=38\r\n"));
    EXPECT_EQ(m_sim.Value("CNMP"), "38");
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+CNMP=77\r\n"));
    m_sim.SetReply("AT+HOST=x", "\r\nBOOKED\r\nERROR\r\n");
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+HOST=x\r\n"));  // "OK" inside "BOOKED" counts
    // ... but not in a line that names another command: that line is no part of this answer.
    m_sim.SetReply("AT+HOST=z", "\r\n+NOTICE: BOOKED\r\nERROR\r\n");
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+HOST=z\r\n"));
    m_sim.SetReply("AT+HOST=y", "\r\n+CME ERROR: 3\r\n");
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+HOST=y\r\n"));
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(TransactionTest, SilentModuleGivesTheFailureValueAndLeavesThePortClosed) {
    sim::Behaviour b;
    b.silent = true;
    m_sim.SetBehaviour(b);
    atlink::CSerialPort port;
    std::string answer = "stale";
    EXPECT_FALSE(port.RunCycle(Com(), atlink::AtCycle{"AT+CSQ\r\n"}, &answer));
    EXPECT_EQ(answer, "");
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+CNMP=2\r\n"));
    EXPECT_FALSE(port.IsOpen());
    atlink::CSerialPort other;
    EXPECT_TRUE(other.OpenPort(Com()));  // nothing holds it any more
    other.ClosePort();
}

TEST_F(TransactionTest, AnswerLaterThanThePauseIsAFailure) {
    sim::Behaviour b;
    b.answerDelayMs = 60000;  // 600 ms at the test scale: well after 100 + 300 ms and the read's wait
    m_sim.SetBehaviour(b);
    atlink::CSerialPort port;
    EXPECT_FALSE(port.RunSetCycle(Com(), "AT+CNMP=2\r\n"));
}

TEST_F(TransactionTest, HeldPortFailsAtOpenAndLogsNothing) {
    atlink::CSerialPort holder;
    ASSERT_TRUE(holder.OpenPort(Com()));
    atlink::CSerialPort port;
    std::string answer;
    EXPECT_FALSE(port.RunCycle(Com(), atlink::AtCycle{"AT+CSQ\r\n"}, &answer));
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+CSQ"), "");
    holder.ClosePort();
    EXPECT_FALSE(LogExists());
    EXPECT_TRUE(m_sim.Requests().empty());
}

TEST_F(TransactionTest, OpenPortFormLeavesThePortOpenAndFailsQuietlyWhenClosed) {
    atlink::CSerialPort port;
    EXPECT_FALSE(port.RunSetCycle("AT+CNMP=2\r\n"));
    EXPECT_FALSE(LogExists());

    ASSERT_TRUE(port.OpenPort(Com()));
    EXPECT_TRUE(port.RunSetCycle("AT+CNMP=13\r\n"));
    EXPECT_TRUE(port.IsOpen());
    std::string answer;
    EXPECT_TRUE(port.RunCycle(atlink::AtCycle{"AT+CNMP?\r\n"}, &answer));
    EXPECT_EQ(atlink::CutValue(answer, "+CNMP: ", "\r\n", 200), "13");
    port.ClosePort();
}

TEST_F(TransactionTest, LateAnswerIsDiscardedBeforeTheNextRequestAndKeptInTheLog) {
    atlink::CSerialPort port;
    ASSERT_TRUE(port.OpenPort(Com()));
    m_sim.SetReply("AT+SLOW", "");  // answers nothing itself
    std::string answer;
    EXPECT_FALSE(port.RunCycle(atlink::AtCycle{"AT+SLOW\r\n"}, &answer));
    m_sim.SendUnsolicited("\r\n+CSQ: 23,99\r\n\r\nOK\r\n");  // the late answer, waiting unread
    platform::Clock::Pause(50);
    EXPECT_TRUE(port.RunCycle(atlink::AtCycle{"AT+CPIN?\r\n"}, &answer));
    EXPECT_EQ(answer, "\r\n+CPIN: READY\r\n\r\nOK\r\n");
    port.ClosePort();
    // The stale bytes are on record, before the request that followed them.
    const std::string log = LogText();
    const auto stale = log.find("Recv: \r\r\n+CSQ: 23,99");
    const auto next = log.find("Send: AT+CPIN?");
    ASSERT_NE(stale, std::string::npos) << log;
    EXPECT_LT(stale, next);
}

TEST_F(TransactionTest, ConsoleDiscardsALateAnswerToo) {
    // An answer that came after an earlier console's window waits in the port's input.
    m_sim.SendUnsolicited("\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    platform::Clock::Pause(50);
    atlink::CSerialPort port;
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+CPIN?"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
    EXPECT_NE(LogText().find("Recv: \r\r\n+CSQ: 23,99"), std::string::npos);
}

TEST_F(TransactionTest, OpenPortTransactionsFromTwoThreadsDoNotInterleave) {
    // Each request gets its own answer; without the transaction lock one thread's write could
    // fall between the other's write and read, and the answers would be swapped or merged.
    for (int i = 0; i < 8; ++i) {
        m_sim.SetReply("AT+ID=" + std::to_string(i), "\r\n+ID: " + std::to_string(i) + "\r\nOK\r\n");
    }
    atlink::CSerialPort shared;
    ASSERT_TRUE(shared.OpenPort(Com()));
    std::atomic<int> mismatches{0};
    auto worker = [&](int first) {
        for (int i = first; i < 8; i += 2) {
            std::string answer;
            shared.RunCycle(atlink::AtCycle{"AT+ID=" + std::to_string(i) + "\r\n", 10, 30}, &answer);
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
    atlink::CSerialPort port;
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
    atlink::CSerialPort port;
    const std::string answer = port.SendAtCommand(Com(), "AT+CSQ");
    EXPECT_EQ(answer, "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    ASSERT_EQ(m_sim.Requests().size(), 1u);
    EXPECT_EQ(m_sim.Requests()[0].bytes, "AT+CSQ\r\n");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+NOSUCH"), "\r\nERROR\r\n");
}

TEST_F(TransactionTest, SendAtCommandShowsALongAnswerWhole) {
    const std::string fields(318, 'f');
    m_sim.SetReply("AT+DTUCFG?", "\r\n+DTUCFG: " + fields + "\r\n\r\nOK\r\n");
    atlink::CSerialPort port;
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+DTUCFG?"), "\r\n+DTUCFG: " + fields + "\r\n\r\nOK\r\n");
}

TEST_F(TransactionTest, SendAtCommandGathersEveryReadOfTheAnswerAndLeavesOutOtherCommandsLines) {
    sim::Behaviour b;
    b.unsolicited = {"\r\n+URC: first\r\n", "\r\n+URC: second\r\n"};
    b.unsolicitedGapMs = 6000;  // 60 ms at the test scale: several polls apart
    m_sim.SetBehaviour(b);
    atlink::CSerialPort port;
    const atlink::AtResult<std::string> sent = port.Send(Com(), "AT+CSQ");
    EXPECT_EQ(sent.value, "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    EXPECT_NE(LogText().find("+URC: second"), std::string::npos);  // on record all the same
    EXPECT_EQ(sent.report.outcome, atlink::AtOutcome::Answered);
}

TEST_F(TransactionTest, SendAtCommandGivesUpAfterFiftyReads) {
    sim::Behaviour b;
    b.answerDelayMs = 600000;  // 6 s at the test scale: after the 50 reads and their pauses
    m_sim.SetBehaviour(b);
    // Nothing comes while the reads run: their wait for a first byte need not be the full floor.
    const platform::ScopedSerialReadFloor shortReads(1);
    atlink::CSerialPort port;
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
    b.splitGapMs = 600;  // 6 ms at the test scale, longer than a pause between reads
    m_sim.SetBehaviour(b);
    atlink::CSerialPort port;
    // Every piece is kept, up to the line end after "OK".
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+CSQ"), "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    b.splitChunk = 1;  // a byte at a time: "O" and "K" come in different reads
    b.splitGapMs = 300;
    m_sim.SetBehaviour(b);
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+NOSUCH"), "\r\nERROR\r\n");
}

TEST_F(TransactionTest, GarbageBeforeTheAnswerDoesNotHideOk) {
    sim::Behaviour b;
    b.garbage = std::string("\x01\xFE\x7F junk", 8);
    m_sim.SetBehaviour(b);
    atlink::CSerialPort port;
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CNMP=2\r\n"));
}

TEST_F(TransactionTest, EchoedRequestStillSucceeds) {
    m_sim.SetEcho(true);
    atlink::CSerialPort port;
    std::string answer;
    ASSERT_TRUE(port.RunCycle(Com(), atlink::AtCycle{"AT+CNMP?\r\n"}, &answer));
    EXPECT_EQ(answer, "AT+CNMP?\r\n\r\n+CNMP: 2\r\n\r\nOK\r\n");
}

TEST_F(TransactionTest, UnwritableLogDirectoryDoesNotStopTransactions) {
    atlink::SetAtLogDirectoryOverride("/dev/null/");
    atlink::CSerialPort port;
    EXPECT_TRUE(port.RunSetCycle(Com(), "AT+CNMP=38\r\n"));
    EXPECT_EQ(port.SendAtCommand(Com(), "AT+CSQ"), "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    EXPECT_FALSE(LogExists());
}

// Late answers that arrive after the next request was written: they must never pass for that
// request's answer. The simulator holds the next answer back a little, and the late one is
// sent the moment the next request arrives, so it is always read first.
class LateAnswerTest : public TransactionTest {
  protected:
    // Sends late to the tool as soon as the simulator has seen requests requests.
    void SendWhenRequested(std::size_t requests, std::string late) {
        m_sender = std::thread([this, requests, late = std::move(late)] {
            if (m_sim.WaitForRequests(requests, 20000)) {
                m_sim.SendUnsolicited(late);
            }
        });
    }
    void TearDown() override {
        if (m_sender.joinable()) {
            m_sender.join();
        }
        TransactionTest::TearDown();
    }
    void HoldBackAnswersTo(const std::string& request, std::uint32_t ms) {
        sim::Behaviour b;
        b.answerDelayMs = ms;
        b.onlyFor = request;
        m_sim.SetBehaviour(b);
    }
    std::thread m_sender;
};

TEST_F(LateAnswerTest, ConsoleTakesNoLateAnswerOfAnotherCommandForItsOwn) {
    m_sim.SetReply("AT+CSQ", "");  // the first program's answer does not come in its window
    atlink::CSerialPort first;
    {
        // Nothing comes in its window: the reads' wait for a first byte need not be the full floor.
        const platform::ScopedSerialReadFloor shortReads(1);
        EXPECT_EQ(first.SendAtCommand(Com(), "AT+CSQ"), "");
    }
    HoldBackAnswersTo("AT+CPIN?", 10000);  // 100 ms at the test scale: the late answer comes first
    SendWhenRequested(2, "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    atlink::CSerialPort second;  // another program: it knows nothing of the first one's request
    const atlink::AtResult<std::string> sent = second.Send(Com(), "AT+CPIN?");
    EXPECT_EQ(sent.value, "\r\n+CPIN: READY\r\n\r\nOK\r\n");
    EXPECT_EQ(sent.report.outcome, atlink::AtOutcome::Answered);
    // Every byte is on record, the late answer after the request it was not the answer of.
    const std::string log = LogText();
    const auto request = log.find("Send: AT+CPIN?");
    const auto late = log.find("Recv: \r\r\n+CSQ: 23,99");
    ASSERT_NE(late, std::string::npos) << log;
    EXPECT_LT(request, late);
}

TEST_F(LateAnswerTest, AStandardCycleCutsItsAnswerAtTheFirstFinalResult) {
    m_sim.SetReply("AT+CNMP?", "\r\n+CNMP: 2\r\n\r\nOK\r\n\r\n+CME ERROR: 3\r\n");
    m_sim.SetReply("AT+HOST=x", "\r\nERROR\r\n\r\nOK\r\n");
    atlink::CSerialPort port;
    EXPECT_EQ(port.QueryCnmp(Com()), "2");   // the error after the OK is not its answer
    EXPECT_FALSE(port.SetHost(Com(), "x"));  // nor the OK after the ERROR
}

TEST_F(LateAnswerTest, ALateAnswerOfAnotherQueryIsNotTheStandardCyclesAnswer) {
    platform::ScopedClockScale half(0.5);  // both answers come well within the 150 ms
    HoldBackAnswersTo("AT+CIMI", 150);
    SendWhenRequested(1, "\r\n+CNMP: 2\r\n\r\nOK\r\n");
    atlink::CSerialPort port;
    EXPECT_EQ(port.QueryCimi(Com()), m_sim.Value("CIMI"));
}
