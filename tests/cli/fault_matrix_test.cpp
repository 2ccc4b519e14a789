// Each fault of a broken module against the commands of marlinq-cli and the AT client's wrappers,
// in-process with the scaled clock: every case ends, with the right exit code, the right line on
// standard error, and a traffic log made of whole lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <regex>
#include <thread>
#include <tuple>

#include "atlink/at_client.h"
#include "platform/serial_port.h"
#include "tests/support/cli_capture.h"
#include "tests/support/poll.h"
#include "tests/support/sim_fixture.h"

namespace {

using testsupport::CliRun;
using testsupport::RunCli;

struct Fault {
    const char* name;
    sim::Behaviour behaviour;
};

// Test names show the fault by its name.
void PrintTo(const Fault& fault, std::ostream* os) {
    *os << fault.name;
}

std::vector<Fault> Faults() {
    std::vector<Fault> faults;
    sim::Behaviour late;
    // Well after the console gives up: its 50 reads wait at least 10 ms each, about half a second
    // in all at the test scale; the answer comes 6 s later.
    late.answerDelayMs = 600000;
    faults.push_back({"late", late});
    sim::Behaviour trickle;
    trickle.splitChunk = 1;
    trickle.splitGapMs = 20;
    faults.push_back({"trickle", trickle});
    sim::Behaviour endless;
    endless.endlessStream = true;
    faults.push_back({"endless", endless});
    sim::Behaviour garbage;
    garbage.garbageAnswer = true;
    faults.push_back({"garbage", garbage});
    sim::Behaviour vanish;
    vanish.vanishMidAnswer = true;
    faults.push_back({"vanish", vanish});
    return faults;
}

// Every label of the log starts a line with its date and time, and the file ends with a line
// end: no line was cut or merged into another.
void ExpectWholeLogLines(const std::string& log) {
    const std::regex stamp("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d $");
    for (const char* label : {"Send: ", "Recv: "}) {
        for (auto at = log.find(label); at != std::string::npos; at = log.find(label, at + 1)) {
            ASSERT_GE(at, 20u) << log;
            const std::size_t start = at - 20;
            EXPECT_TRUE(start == 0 || log[start - 1] == '\n') << "label inside a line at " << at;
            EXPECT_TRUE(std::regex_match(log.substr(start, 20), stamp)) << log.substr(start, 20);
        }
    }
    if (!log.empty()) {
        EXPECT_TRUE(log.ends_with("\r\r\n"));
    }
}

class FaultMatrixBase : public testsupport::SimulatorTest {
  protected:
    void Expect(const Fault& fault, const std::string& command, const CliRun& run, int code,
                const std::string& messagePattern) {
        SCOPED_TRACE(std::string(fault.name) + " / " + command);
        EXPECT_EQ(run.code, code) << run.out << run.err;
        EXPECT_TRUE(std::regex_match(run.err, std::regex(messagePattern))) << run.err;
        std::printf("| %-8s | %-14s | %5.2f s | %d | %s |\n", fault.name, command.c_str(), run.seconds,
                    run.code, run.err.empty() ? "" : run.err.substr(0, run.err.size() - 1).c_str());
        ExpectWholeLogLines(LogText());
    }

  public:
    // Every request heard has had its whole answer sent.
    bool AllAnswered() const { return m_sim.AnswersSent() >= m_sim.Requests().size(); }

    bool HasRequest(const std::string& command) const {
        const auto requests = m_sim.Requests();
        return std::any_of(requests.begin(), requests.end(), [&command](const sim::RecordedRequest& r) {
            return r.bytes.starts_with(command);
        });
    }

  protected:
    // A fresh module with the fault, so that a vanished one does not spoil the next case. With
    // onlyFor, the module answers the scan's version read soundly and fails only on the command
    // under test.
    void Restart(const Fault& fault, const std::string& onlyFor = "") {
        m_sim.Stop();
        std::string error;
        ASSERT_TRUE(m_sim.Start(sim::SimulatorOptions{}, &error)) << error;
        sim::Behaviour behaviour = fault.behaviour;
        behaviour.onlyFor = onlyFor;
        m_sim.SetBehaviour(behaviour);
    }
};

// A late module (its answer comes seconds later) sends nothing more once it has heard the command
// under test, nor does one that answers noise once the noise is out: from then on the console's 50
// reads can only come back empty, and need not each wait the floor of a read's wait for a first
// byte, which is there to give an answer on its way (the scan's, before) the time to arrive.
class ShortReadsOnceSilent {
  public:
    ShortReadsOnceSilent(FaultMatrixBase& test, const Fault& fault) {
        const std::string name = fault.name;
        if (name != "late" && name != "garbage") {
            return;
        }
        m_thread = std::thread([this, &test, late = name == "late"] {
            if (testsupport::PollUntil(
                    [&test, late] { return test.HasRequest("AT+CSQ") && (late || test.AllAnswered()); })) {
                m_floor.emplace(1);
            }
        });
    }
    ~ShortReadsOnceSilent() { Join(); }
    ShortReadsOnceSilent(const ShortReadsOnceSilent&) = delete;
    ShortReadsOnceSilent& operator=(const ShortReadsOnceSilent&) = delete;

    // Ends the watch and gives the floor back.
    void Join() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
        m_floor.reset();
    }

  private:
    std::thread m_thread;
    std::optional<platform::ScopedSerialReadFloor> m_floor;
};

// One case a fault, so that each stays short.
class FaultMatrix : public FaultMatrixBase, public ::testing::WithParamInterface<Fault> {};

// One case a fault and a console command.
class FaultMatrixConsole : public FaultMatrixBase,
                           public ::testing::WithParamInterface<std::tuple<Fault, std::string>> {};

std::string FaultName(const ::testing::TestParamInfo<Fault>& info) {
    return info.param.name;
}

std::string FaultAndCommandName(const ::testing::TestParamInfo<std::tuple<Fault, std::string>>& info) {
    std::string command = std::get<1>(info.param);
    std::replace_if(
        command.begin(), command.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
        '_');
    return std::string(std::get<0>(info.param).name) + "_" + command;
}

}  // namespace

TEST_P(FaultMatrixConsole, ConsoleCommandsEndWithTheirExitCodeAndOneLine) {
    {
        const Fault& fault = std::get<0>(GetParam());
        {
            const std::string command = std::get<1>(GetParam());
            Restart(fault, "AT+CSQ");
            const std::string com = "COM" + std::to_string(Com());
            ShortReadsOnceSilent shortReads(*this, fault);
            CliRun run;
            if (command == "send --port") {
                // The transaction runs on this thread: its pauses show that it is bounded
                // (30 + 100 ms, then at most 50 pauses of 50 ms), whatever the module does.
                std::uint32_t paused = 0;
                {
                    platform::ScopedPauseObserver observer([&paused](std::uint32_t ms) { paused += ms; });
                    run = RunCli({"send", "--port", std::to_string(Com()), "AT+CSQ"});
                }
                EXPECT_LE(paused, 30u + 100u + 50u * 50u) << fault.name;
            } else if (command == "send") {
                run = RunCli({"send", "--timeout", "20", "AT+CSQ"});
            } else {
                run = RunCli({"csq", "--timeout", "20"});
            }
            shortReads.Join();
            const std::string name = fault.name;
            if (name == "late") {
                Expect(fault, command, run, 1, "no answer from " + com + " within 3\\.6 s\n");
            } else if (name == "trickle") {
                Expect(fault, command, run, 0, "");
                EXPECT_NE(run.out.find("AT+CSQ\n"), std::string::npos) << run.out;
                // Whole: raw from the port, or on the console's lines (the pane's CR LFs end
                // lines, none is left over).
                const std::string whole =
                    command == "send --port" ? "\r\n+CSQ: 23,99\r\n\r\nOK\r\n" : "\n+CSQ: 23,99\n\nOK\n";
                EXPECT_NE(run.out.find(whole), std::string::npos) << run.out;
            } else if (name == "endless") {
                Expect(
                    fault, command, run, 1,
                    "no complete answer from " + com + " within 3\\.6 s: [0-9]+ bytes without OK or ERROR\n");
            } else if (name == "garbage") {
                Expect(fault, command, run, 1,
                       "no complete answer from " + com + " within 3\\.6 s: 64 bytes without OK or ERROR\n");
            } else {
                Expect(fault, command, run, 1, com + " went away during the answer\n");
            }
            EXPECT_EQ(run.out.find("+CSQ: 23,99") != std::string::npos, name == "trickle") << run.out;
        }
    }
}

TEST_P(FaultMatrix, WrappersGiveTheirFailureValueAndTellWhy) {
    {
        // The wrappers read once after their pause: at a tenth of real time that pause (30 ms)
        // holds a trickled short answer whole, and a vanishing module gone, on a loaded machine too.
        const platform::ScopedClockScale tenth(0.1);
        const Fault& fault = GetParam();
        Restart(fault);
        SCOPED_TRACE(fault.name);
        atlink::CSerialPort manual;
        std::atomic<atlink::BOOL> autoPort{1};
        std::vector<std::string> lines;
        const int com = Com();
        atlink::AtClient client({manual, autoPort, [com] { return com; },
                                 [&lines](const std::string& l) { lines.push_back(l); }});
        const std::string name = fault.name;
        // Each standard cycle pauses 100 + 300 ms and reads once, whatever the module does.
        std::vector<std::uint32_t> pauses;
        platform::ScopedPauseObserver observer([&pauses](std::uint32_t ms) { pauses.push_back(ms); });
        const atlink::BOOL set = client.SetCnmp("2");
        const atlink::AtCommandRecord afterSet = client.LastCommand();
        const std::string cfg = client.QueryDtuCfg();
        const atlink::AtCommandRecord afterQuery = client.LastCommand();
        if (name == "trickle") {
            // The module is still trickling the long answer: let it finish before the next request.
            ASSERT_TRUE(m_sim.WaitForAnswers(2, 10000));
        }
        const atlink::BOOL reset = client.ResetModule();
        std::printf("| %-8s | SetCnmp=%d QueryDtuCfg=%zu bytes ResetModule=%d | outcome %d / %d |\n",
                    fault.name, set, cfg.size(), reset, static_cast<int>(afterSet.report.outcome),
                    static_cast<int>(afterQuery.report.outcome));
        if (name == "trickle") {
            // One read after 300 ms holds the short "OK" answer, but only the start of the long one.
            EXPECT_TRUE(set);
            EXPECT_EQ(cfg, "");
            EXPECT_TRUE(reset);
        } else {
            EXPECT_FALSE(set);
            EXPECT_EQ(cfg, "");
            EXPECT_FALSE(reset);
            EXPECT_FALSE(afterSet.succeeded);
        }
        if (name == "late") {
            EXPECT_EQ(afterSet.report.outcome, atlink::AtOutcome::NoAnswer);
        } else if (name == "endless") {
            // Bytes came, but only lines of another command: nothing of this command's answer.
            EXPECT_EQ(afterSet.report.outcome, atlink::AtOutcome::Incomplete);
        } else if (name == "garbage") {
            EXPECT_EQ(afterSet.report.outcome, atlink::AtOutcome::Answered);  // bytes came, without "OK"
        } else if (name == "vanish") {
            // Gone for good: the next command cannot open the port.
            EXPECT_EQ(afterQuery.report.outcome, atlink::AtOutcome::NoSuchPort);
        }
        EXPECT_TRUE(lines.empty()) << "a failing command logs nothing in the window";
        const std::size_t cycles = name == "vanish" ? 1u : 3u;  // once gone, the port cannot open
        std::vector<std::uint32_t> expected;
        for (std::size_t i = 0; i < cycles; ++i) {
            expected.insert(expected.end(), {100u, 300u});
        }
        EXPECT_EQ(pauses, expected);
        ExpectWholeLogLines(LogText());
    }
}

TEST_P(FaultMatrix, ResetThroughItsWrapperFailsWithTheReason) {
    {
        const Fault& fault = GetParam();
        std::optional<platform::ScopedClockScale> tenth;
        std::thread backToTestScale;
        Restart(fault, "AT+CRESET");
        if (std::string(fault.name) == "trickle") {
            tenth.emplace(0.1);  // the short "OK" whole in the one read, as for the wrappers
            // Once the trickled answer has gone out whole, the tool is still in its pause before
            // that read: the 20 s wait after the reset runs at the test scale.
            backToTestScale = std::thread([this] {
                if (!testsupport::PollUntil([this] { return HasRequest("AT+CRESET"); })) {
                    return;
                }
                if (m_sim.WaitForAnswers(m_sim.AnswersSent() + 1, 10000)) {
                    platform::Clock::SetScale(testsupport::kTestClockScale);
                }
            });
        }
        const std::string com = "COM" + std::to_string(Com());
        const CliRun run = RunCli({"reset", "--timeout", "20"});
        if (backToTestScale.joinable()) {
            backToTestScale.join();
        }
        const std::string name = fault.name;
        if (name == "late") {
            Expect(fault, "reset", run, 1, "no answer from " + com + " within 0\\.4 s\n");
        } else if (name == "trickle") {
            Expect(fault, "reset", run, 0, "");  // the short "OK" is in the one read
        } else if (name == "vanish") {
            // The hang-up drops what was not read yet, or leaves the half answer to be read.
            Expect(fault, "reset", run, 1, com + " (went away during the answer|answered without OK)\n");
        } else if (name == "endless") {
            // The stream's lines name another command: none of them is the reset's answer.
            Expect(fault, "reset", run, 1,
                   "no complete answer from " + com + " within 0\\.4 s: [0-9]+ bytes without OK or ERROR\n");
        } else {
            Expect(fault, "reset", run, 1, com + " answered without OK\n");
        }
        EXPECT_NE(run.out.find("Resetting..."), std::string::npos) << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(Faults()), FaultName);
INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrixConsole,
                         ::testing::Combine(::testing::ValuesIn(Faults()),
                                            ::testing::Values("send --port", "send", "csq")),
                         FaultAndCommandName);
