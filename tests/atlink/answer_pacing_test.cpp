// Answer pacing of the AT transactions against the simulator: the reads last until the final
// result line is whole, the request bytes and the traffic log are those of the fixed pacing, the
// settle time of a row is kept, and the ceiling ends a transaction that gets no answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "atlink/at_commands.h"
#include "atlink/at_serial_port.h"
#include "platform/serial_port.h"
#include "tests/atlink/client_fixture.h"
#include "tests/support/sim_fixture.h"

namespace {

using atlink::Pacing;

class AnswerPacing : public testsupport::AtClientOverSimulator {
  protected:
    // The log's lines without their time stamps ("12/10/2026 06:27:34 ").
    std::vector<std::string> LogLinesWithoutTime() const {
        std::vector<std::string> lines;
        const std::string text = LogText();
        std::size_t start = 0;
        for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
            const std::string line = text.substr(start, end - start);
            lines.push_back(line.size() > 20 ? line.substr(20) : line);
            start = end + 1;
        }
        return lines;
    }
    int RecvLines() const {
        int n = 0;
        for (const auto& line : LogLinesWithoutTime()) {
            n += line.rfind("Recv: ", 0) == 0 ? 1 : 0;
        }
        return n;
    }
    // The version queries of a Get, one after the other on the found port.
    std::vector<bool> RunVersionQueries() {
        std::vector<bool> ok;
        ok.push_back(Client().Run(atlink::kQueryGmr).succeeded);
        ok.push_back(Client().Run(atlink::kQueryCsub).succeeded);
        ok.push_back(Client().Run(atlink::kQueryVer).succeeded);
        ok.push_back(Client().Run(atlink::kQueryCimi).succeeded);
        ok.push_back(Client().Run(atlink::kQueryDtuModeValue).succeeded);
        return ok;
    }
};

TEST_F(AnswerPacing, ASlowModuleFailsTheFixedPauseButIsWaitedForWithTheSameRequestBytes) {
    // At a fiftieth the answer comes after 25 ms: with reads that wait 2 ms for a first byte, it
    // misses the fixed read (its 6 ms pause and that wait) by a wide margin, and the paced read
    // waits for it up to 100 ms.
    platform::ScopedClockScale scale(0.02);
    sim::Behaviour slow;
    slow.answerDelayMs = 1250;
    m_sim.SetBehaviour(slow);
    const std::vector<bool> allOk(5, true);

    {
        const platform::ScopedSerialReadFloor hastyReads(2);
        EXPECT_NE(RunVersionQueries(), allOk);
    }
    // The module takes a request in only once it has answered the one before: the last requests
    // of the fixed run may still be on the line, and the late answers are to be out of the way.
    ASSERT_TRUE(m_sim.WaitForRequests(allOk.size(), 5000));
    ASSERT_TRUE(m_sim.WaitForAnswers(allOk.size(), 5000));
    const auto fixedRequests = testsupport::RequestBytes(m_sim);
    ASSERT_EQ(fixedRequests.size(), allOk.size());
    m_sim.ClearRequests();

    Client().SetPacing(Pacing::Answer);
    EXPECT_EQ(RunVersionQueries(), allOk);
    EXPECT_EQ(testsupport::RequestBytes(m_sim), fixedRequests);
    EXPECT_EQ(Client().Run(atlink::kQueryCimi).value, m_sim.Value("CIMI"));
}

TEST_F(AnswerPacing, AnAnswerSplitAcrossReadsIsReadWholeAndLoggedAsOneLine) {
    sim::Behaviour trickle;
    trickle.splitChunk = 3;
    trickle.splitGapMs = 300;  // each piece outlasts a read's wait for its first byte
    m_sim.SetBehaviour(trickle);
    Client().SetPacing(Pacing::Answer);

    const auto ver = Client().Run(atlink::kQueryVer);
    EXPECT_TRUE(ver.succeeded);
    EXPECT_EQ(ver.value, m_sim.Value("VER"));
    EXPECT_EQ(ver.report.outcome, atlink::AtOutcome::Answered);
    EXPECT_EQ(RecvLines(), 1);

    // The console's send gathers the pieces the same way.
    Client().SendConsoleCommand("AT+CSQ");
    const auto console = Client().LastCommand();
    EXPECT_TRUE(console.succeeded);
    EXPECT_NE(console.answer.find("+CSQ:"), std::string::npos);
    EXPECT_NE(console.answer.find("OK"), std::string::npos);
    EXPECT_EQ(RecvLines(), 2);
}

TEST_F(AnswerPacing, TheTrafficLogHoldsTheSameLinesUnderBothPacings) {
    RunVersionQueries();
    Client().Run(atlink::kQueryDtuCfg);
    Client().Run(atlink::kQueryApn);
    const auto fixedLog = LogLinesWithoutTime();
    std::filesystem::remove(m_logDir / atlink::kAtLogFileName);

    Client().SetPacing(Pacing::Answer);
    RunVersionQueries();
    Client().Run(atlink::kQueryDtuCfg);
    Client().Run(atlink::kQueryApn);
    EXPECT_FALSE(fixedLog.empty());
    EXPECT_EQ(LogLinesWithoutTime(), fixedLog);
}

TEST_F(AnswerPacing, TheCeilingEndsATransactionThatGetsNoAnswerAsAFailure) {
    sim::Behaviour silent;
    silent.silent = true;
    m_sim.SetBehaviour(silent);
    Client().SetPacing(Pacing::Answer);
    const auto dtuCfg = Client().Run(atlink::kQueryDtuCfg);
    EXPECT_FALSE(dtuCfg.succeeded);
    EXPECT_EQ(dtuCfg.report.outcome, atlink::AtOutcome::NoAnswer);
    EXPECT_EQ(testsupport::RequestBytes(m_sim), std::vector<std::string>{"AT+DTUCFG?\r\n"});

    // A piece of an answer without its final result line is incomplete, not an answer.
    m_sim.SetBehaviour(sim::Behaviour{});
    m_sim.SetReply("AT+VER", "\r\n+VER: 1.0\r\n");
    const auto ver = Client().Run(atlink::kQueryVer);
    EXPECT_FALSE(ver.succeeded);
    EXPECT_EQ(ver.report.outcome, atlink::AtOutcome::Incomplete);
}

TEST_F(AnswerPacing, OnlyTheSettleTimeOfEachRowIsPausedBeforeItsRequest) {
    Client().SetPacing(Pacing::Answer);
    std::vector<std::uint32_t> pauses;
    {
        platform::ScopedPauseObserver observe([&](std::uint32_t ms) { pauses.push_back(ms); });
        EXPECT_TRUE(Client().Run(atlink::kQueryAuth).succeeded);
        EXPECT_TRUE(Client().Run(atlink::kSetCnmp, "38").succeeded);
        EXPECT_TRUE(Client().ProbeAt());
    }
    // The probe's row names no settle time: it makes no pause at all.
    EXPECT_EQ(pauses, (std::vector<std::uint32_t>{atlink::kQueryAuth.settleMs, atlink::kSetCnmp.settleMs}));
    EXPECT_GT(atlink::kSetCnmp.settleMs, 0u);
}

TEST_F(AnswerPacing, AModuleThatNeedsTheRowsSettleTimeIsServedAndOneThatNeedsMoreIsNot) {
    // At the product's scale, so that the settle time is longer than what the tool takes between
    // an answer and its next request anyway.
    platform::ScopedClockScale scale(1.0);
    sim::Behaviour settling;
    settling.settleMs = atlink::kFlowSettleMs;
    m_sim.SetBehaviour(settling);
    Client().SetPacing(Pacing::Answer);
    EXPECT_EQ(RunVersionQueries(), std::vector<bool>(5, true));

    // A module that needs far more than the rows give answers the second request "ERROR".
    settling.settleMs = 100 * atlink::kFlowSettleMs;
    m_sim.SetBehaviour(settling);
    const std::vector<bool> ok = RunVersionQueries();
    EXPECT_FALSE(ok[1]);
}

TEST_F(AnswerPacing, AnAnswerLeftInFlightByAnotherProgramIsNotTakenForTheNextQueries) {
    // Another program on the same port gave up on a slow module's "OK" and went away; its answer
    // arrives while this session's probe waits, which takes it, so the probe's own "OK" comes in
    // front of the first query's answer.
    Client().SetPacing(Pacing::Answer);
    {
        // At a fiftieth the answer comes after 20 ms, long after the other program's fixed read
        // (its 6 ms pause and a 2 ms wait for a first byte); the probe waits up to 100 ms.
        platform::ScopedClockScale scale(0.02);
        sim::Behaviour slow;
        slow.answerDelayMs = 1000;
        m_sim.SetBehaviour(slow);
        {
            const platform::ScopedSerialReadFloor hastyReads(2);
            atlink::CSerialPort other;
            EXPECT_FALSE(other.Run(atlink::kProbeAt, Com()).succeeded);
        }
        EXPECT_TRUE(Client().ProbeAt());
        EXPECT_EQ(RunVersionQueries(), std::vector<bool>(5, true));
        EXPECT_EQ(Client().Run(atlink::kQueryGmr).value, m_sim.Value("GMR"));
        EXPECT_EQ(Client().Run(atlink::kQueryCimi).value, m_sim.Value("CIMI"));
    }

    // A module that really answers a query with a bare "OK" still fails that query, at the ceiling.
    m_sim.SetBehaviour(sim::Behaviour{});
    m_sim.SetReply("AT+VER", "\r\nOK\r\n");
    const auto ver = Client().Run(atlink::kQueryVer);
    EXPECT_FALSE(ver.succeeded);
    EXPECT_EQ(ver.report.outcome, atlink::AtOutcome::Answered);
    EXPECT_TRUE(Client().Run(atlink::kQueryCsub).succeeded);
}

TEST_F(AnswerPacing, TheFixedPacingStaysTheDefaultOfEveryObject) {
    atlink::CSerialPort port;
    EXPECT_EQ(port.GetPacing(), Pacing::Fixed);
    EXPECT_EQ(Client().GetPacing(), Pacing::Fixed);
    std::vector<std::uint32_t> pauses;
    {
        platform::ScopedPauseObserver observe([&](std::uint32_t ms) { pauses.push_back(ms); });
        EXPECT_TRUE(Client().Run(atlink::kQueryAuth).succeeded);
    }
    EXPECT_EQ(pauses, (std::vector<std::uint32_t>{atlink::kQueryAuth.pauseBeforeMs,
                                                  atlink::kQueryAuth.pauseAfterMs}));
}

}  // namespace
