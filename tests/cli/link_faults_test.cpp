// marlinq-cli against a faulty module: late answers stay with their own request, long and
// trickled answers are printed whole, a busy port is named, and options without their value are
// refused before anything is sent. The commands run in this process on the scaled clock; a port
// held by a second marlinq-cli, or claimed by one that was killed, takes real processes.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <thread>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/cli_capture.h"
#include "tests/support/run_process.h"
#include "tests/support/sim_fixture.h"

namespace {

using testsupport::RunCli;

// The console's pause between writing a request and its first read.
constexpr std::uint32_t kConsolePauseAfterRequestMs = 100;

// A read's wait for its first byte while the module sends nothing in the console's window: the
// floor meant for an answer on its way gives nothing time to arrive there, so the 50 reads need
// not each wait it.
constexpr std::uint32_t kEmptyReadFloorMs = 1;

class CliLinkFaults : public testsupport::SimulatorTest {
  protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        m_port = std::to_string(Com());
        m_com = "COM" + m_port;
    }
    std::string m_port;
    std::string m_com;
};

}  // namespace

TEST_F(CliLinkFaults, ALateAnswerNeverPassesForTheNextCommandsAnswer) {
    m_sim.SetReply("AT+CSQ", "");  // its answer comes after the console gave up
    testsupport::CliRun first;
    {
        const platform::ScopedSerialReadFloor shortReads(kEmptyReadFloorMs);
        first = RunCli({"send", "--port", m_port, "AT+CSQ"});
    }
    EXPECT_EQ(first.code, 1);
    EXPECT_EQ(first.err, "no answer from " + m_com + " within 3.6 s\n");
    ASSERT_TRUE(m_sim.WaitForRequests(1, 10000));  // taken in before its reply is changed below
    // The module does answer, once nobody listens: the bytes wait in the port's input.
    m_sim.SendUnsolicited("\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    m_sim.ClearReplies();
    const auto second = RunCli({"send", "--port", m_port, "AT+CPIN?"});
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(second.out, "AT+CPIN?\n\r\n+CPIN: READY\r\n\r\nOK\r\n");
    EXPECT_EQ(second.err, "");
}

TEST_F(CliLinkFaults, LongAndTrickledAnswersArePrintedWhole) {
    const std::string fields(318, 'f');
    m_sim.SetReply("AT+DTUCFG?", "\r\n+DTUCFG: " + fields + "\r\n\r\nOK\r\n");
    const auto longAnswer = RunCli({"send", "--port", m_port, "AT+DTUCFG?"});
    EXPECT_EQ(longAnswer.code, 0);
    EXPECT_EQ(longAnswer.out, "AT+DTUCFG?\n\r\n+DTUCFG: " + fields + "\r\n\r\nOK\r\n");
    sim::Behaviour trickle;
    trickle.splitChunk = 1;    // "O" and "K" in different reads
    trickle.splitGapMs = 100;  // the 23 bytes come within the console's 50 reads, as at full length
    m_sim.SetBehaviour(trickle);
    const auto trickled = RunCli({"send", "--port", m_port, "AT+CSQ"});
    EXPECT_EQ(trickled.code, 0) << trickled.err;
    EXPECT_EQ(trickled.out, "AT+CSQ\n\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
}

TEST_F(CliLinkFaults, APortHeldByAnotherProgramIsNamedBusy) {
    for (const char* mode : {"excl", "flock", "port"}) {
        SCOPED_TRACE(mode);
        testsupport::ChildProcess holder(HOLD_PORT_EXE, {m_port, mode});
        ASSERT_TRUE(holder.ReadUntil("open\n", 10000));
        const auto busy = RunCli({"send", "--port", m_port, "AT+CSQ"});
        EXPECT_EQ(busy.code, 1);
        EXPECT_EQ(busy.err, m_com + " is busy: another program holds it\n");
        if (std::string(mode) == "excl") {
            // The console finds the module, then cannot have its port.
            const auto console = RunCli({"csq"});
            EXPECT_EQ(console.code, 1);
            EXPECT_EQ(console.err, m_com + " is busy: another program holds it\n");
        }
        holder.CloseInput();
        EXPECT_EQ(holder.Wait().exitCode, 0);
    }
    EXPECT_TRUE(m_sim.Requests().empty());
    const auto free = RunCli({"send", "--port", m_port, "AT+CSQ"});
    EXPECT_EQ(free.code, 0) << free.err;
}

TEST_F(CliLinkFaults, ASecondMarlinqCliOnTheSamePortIsToldItIsBusy) {
    sim::Behaviour silent;
    silent.silent = true;  // the first one waits for its answer with the port open
    m_sim.SetBehaviour(silent);
    const platform::ScopedSerialReadFloor shortReads(kEmptyReadFloorMs);
    // The first one runs here and is held at the pause after its request, the port open, until
    // the second, a program of its own, has been turned away.
    std::promise<void> holding;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    auto firstRun = std::async(std::launch::async, [&] {
        bool held = false;
        platform::ScopedPauseObserver hold([&](std::uint32_t ms) {
            if (!held && ms == kConsolePauseAfterRequestMs) {
                held = true;
                holding.set_value();
                released.wait();
            }
        });
        return RunCli({"send", "--port", m_port, "AT+CSQ"});
    });
    const bool held = holding.get_future().wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    testsupport::ProcessResult secondEnd;
    if (held) {
        testsupport::ChildProcess second(MARLINQ_CLI_EXE, {"send", "--port", m_port, "AT+CPIN?"});
        secondEnd = second.Wait();
    }
    release.set_value();
    const auto first = firstRun.get();
    ASSERT_TRUE(held) << "the first one never wrote its request";
    EXPECT_EQ(secondEnd.exitCode, 1);
    EXPECT_EQ(secondEnd.err, m_com + " is busy: another program holds it\n");
    EXPECT_EQ(first.code, 1);
    EXPECT_EQ(first.err, "no answer from " + m_com + " within 3.6 s\n");
    m_sim.WaitForRequests(1, 10000);  // the first one may give up before the module took it in
    EXPECT_EQ(m_sim.Requests().size(), 1u);
}

TEST_F(CliLinkFaults, OptionsWithoutTheirValueAreRefusedBeforeAnythingIsSent) {
    const std::vector<std::vector<std::string>> wrong = {
        {"send", "--port"},
        {"send", "AT+CSQ", "--port"},
        {"send", "--port", "AT+CSQ"},
        {"send", "--port", "", "AT+CSQ"},
        {"send", "--port", "12x", "AT+CSQ"},
        {"send", "--port", "-3", "AT+CSQ"},
        {"send", "--timeout", "AT+CSQ"},
        {"send", "--timeout", "5s", "AT+CSQ"},
        {"send", "--bogus", "1", "AT+CSQ"},
        {"csq", "--timeout"},
        {"scan", "--timeout", "99999999999999999999"},
        {"reset", "--timeout", "0"},
    };
    for (const auto& args : wrong) {
        std::string line;
        for (const auto& a : args) {
            line += a + " ";
        }
        SCOPED_TRACE(line);
        const auto run = RunCli(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find("usage: marlinq-cli"), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one line: " << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(m_sim.Requests().empty());
}

namespace {

// Sends late to the tool the moment the simulator has seen requests requests, while the answer
// to the last of them is held back: the late answer is always read first.
class LateSender {
  public:
    LateSender(sim::DtuSimulator& sim, std::size_t requests, std::string late)
        : m_thread([&sim, requests, late = std::move(late)] {
              if (sim.WaitForRequests(requests, 60000)) {
                  sim.SendUnsolicited(late);
              }
          }) {}
    ~LateSender() { m_thread.join(); }

  private:
    std::thread m_thread;
};

sim::Behaviour HoldBack(const std::string& request, std::uint32_t ms) {
    sim::Behaviour b;
    b.answerDelayMs = ms;
    b.onlyFor = request;
    return b;
}

}  // namespace

TEST_F(CliLinkFaults, ALateAnswerThatArrivesAfterTheRequestIsNotPrintedAsItsAnswer) {
    m_sim.SetReply("AT+CSQ", "");  // its answer comes after the first program gave up
    testsupport::CliRun first;
    {
        const platform::ScopedSerialReadFloor shortReads(kEmptyReadFloorMs);
        first = RunCli({"send", "--port", m_port, "AT+CSQ"});
    }
    EXPECT_EQ(first.code, 1);
    m_sim.SetBehaviour(HoldBack("AT+CPIN?", 10000));
    LateSender late(m_sim, 2, "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    const auto second = RunCli({"send", "--port", m_port, "AT+CPIN?"});
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(second.out, "AT+CPIN?\n\r\n+CPIN: READY\r\n\r\nOK\r\n");
    EXPECT_EQ(second.err, "");
}

TEST_F(CliLinkFaults, ALateOkInsideADownloadIsNotTheNextCommandsAnswer) {
    // At a tenth, the mode's unanswered request stays owed for 300 ms (3 s): the late OK comes well
    // within that on a machine slowed by the thread sanitizer too (at the tests' clock, 30 ms did
    // not always last until it came).
    const platform::ScopedClockScale tenth(0.1);
    // The working mode's OK comes after the MQTT settings were written; the module refuses those.
    m_sim.SetReply("AT+DTUMODE=0", "");  // the module's own mode, read by the scan
    sim::Behaviour refuse = HoldBack("AT+MQTTCFG", 150);
    refuse.errorAll = true;
    m_sim.SetBehaviour(refuse);
    std::size_t scan = 0;
    {
        // The scan's version read comes first: wait for its five requests before counting.
        auto download = std::async(std::launch::async, [] { return RunCli({"download", "--page", "mqtt"}); });
        ASSERT_TRUE(m_sim.WaitForRequests(6, 60000));
        scan = m_sim.Requests().size() - 1;
        LateSender late(m_sim, scan + 2, "\r\nOK\r\n");
        const auto run = download.get();
        EXPECT_EQ(run.code, 1);
        EXPECT_NE(run.out.find("MQTTCFG parameters download failed!"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("MQTTCFG parameters download successfully!"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("SUBTOPIC parameters download successfully!"), std::string::npos) << run.out;
    }
    const auto requests = m_sim.Requests();
    ASSERT_GE(requests.size(), scan + 2);
    EXPECT_EQ(requests[scan].bytes, "AT+DTUMODE=0\r\n");
    EXPECT_EQ(requests[scan + 1].bytes.rfind("AT+MQTTCFG=", 0), 0u);
}

TEST_F(CliLinkFaults, AClaimLeftByAKilledMarlinqCliIsClearedAndALiveOneRespected) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "a flag left on the terminal refuses every open but root's";
    }
    sim::Behaviour silent;
    silent.silent = true;  // the first program would hold the port for its whole 3.6 s
    m_sim.SetBehaviour(silent);
    {
        testsupport::ChildProcess first(MARLINQ_CLI_EXE, {"send", "--port", m_port, "AT+CSQ"});
        ASSERT_TRUE(m_sim.WaitForRequests(1, 10000));  // it has the port open and claimed
        ::kill(first.Pid(), SIGKILL);
        EXPECT_EQ(first.Wait().signal, SIGKILL);
    }
    m_sim.SetBehaviour(sim::Behaviour{});
    const auto next = RunCli({"send", "--port", m_port, "AT+CSQ"});
    EXPECT_EQ(next.code, 0) << next.err;
    EXPECT_EQ(next.out, "AT+CSQ\n\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    const std::string log = LogText();
    EXPECT_NE(log.find("Note: " + m_com + ": cleared the exclusive flag of " + m_sim.PortPath()),
              std::string::npos);

    testsupport::ChildProcess holder(HOLD_PORT_EXE, {m_port, "excl"});
    ASSERT_TRUE(holder.ReadUntil("open\n", 10000));
    const auto busy = RunCli({"send", "--port", m_port, "AT+CSQ"});
    EXPECT_EQ(busy.code, 1);
    EXPECT_EQ(busy.err, m_com + " is busy: another program holds it\n");
    holder.CloseInput();
    EXPECT_EQ(holder.Wait().exitCode, 0);
}

TEST_F(CliLinkFaults, GetAndDownloadNameABusyPort) {
    testsupport::ChildProcess holder(HOLD_PORT_EXE, {m_port, "port"});
    ASSERT_TRUE(holder.ReadUntil("open\n", 10000));
    const auto get = RunCli({"get"});
    EXPECT_EQ(get.code, 1);
    EXPECT_EQ(get.err, m_com + " is busy: another program holds it\n");
    const auto download = RunCli({"download"});
    EXPECT_EQ(download.code, 1);
    EXPECT_EQ(download.err, m_com + " is busy: another program holds it\n");
    EXPECT_TRUE(m_sim.Requests().empty());
    holder.CloseInput();
    EXPECT_EQ(holder.Wait().exitCode, 0);
}
