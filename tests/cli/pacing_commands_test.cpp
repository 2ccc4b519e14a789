// --pace on the module commands, in this process against the simulator: answer pacing serves a
// module too slow for the fixed pauses with the same requests, keeps the settle time the module
// needs, ends Reset DTU's wait once the module answers again, and a bad value is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "atlink/at_commands.h"
#include "cli/commands.h"
#include "cli/failures.h"
#include "cli/parameter_commands.h"
#include "platform/app_directory.h"
#include "simulator/dtu_model.h"
#include "tests/cli/parameter_run_fixture.h"
#include "tests/support/cli_capture.h"
#include "tests/support/sim_fixture.h"

namespace marlinq::cli {
namespace {

class PacedCommands : public ParameterRunTest {
  protected:
    // Each run hears only its own requests, and waits for the module at most 100 s.
    int Get(Args args) {
        m_sim.ClearRequests();
        args.insert(args.end(), {"--timeout", "100"});
        return ParameterRunTest::Get(args);
    }
    int Download(Args args) {
        args.insert(args.end(), {"--timeout", "100"});
        return ParameterRunTest::Download(args);
    }
    // Waits until every request so far has its answer out, so that none arrives in the next run.
    void LetAnswersOut() { m_sim.WaitForAnswers(m_sim.Requests().size(), 10000); }
    // The module on the same port again, fresh and behaving as given: what a run left unanswered
    // (requests it heard, or still has to read while it keeps a slow pace) goes with the old one.
    void PlugInAgain(const sim::Behaviour& behaviour) {
        sim::SimulatorOptions options;
        options.com = m_sim.Com();
        std::string error;
        ASSERT_TRUE(m_sim.Start(options, &error)) << error;
        m_sim.SetBehaviour(behaviour);
    }
};

// At a tenth, the module's 450 ms come well after the fixed read is over (its 300 ms pause and its
// wait for a first byte). What a sound module is sent does not hang on the clock: that reference
// run goes on the tests' usual clock.
TEST_F(PacedCommands, GetOfASlowModuleFailsFixedAndSucceedsPacedByTheAnswer) {
    // What a sound module is sent under the fixed pacing.
    EXPECT_EQ(Get({}), kExitDone) << err.str();
    const auto soundGet = testsupport::RequestBytes(m_sim);

    platform::ScopedClockScale scale(0.1);
    sim::Behaviour slow;
    slow.answerDelayMs = 450;
    m_sim.SetBehaviour(slow);
    EXPECT_EQ(Get({}), kExitFailed);
    LetAnswersOut();
    EXPECT_EQ(Get({"--pace", "answer"}), kExitDone) << err.str();
    EXPECT_EQ(testsupport::RequestBytes(m_sim), soundGet);
    EXPECT_NE(out.str().find("main.AppVersion=" + m_sim.Value("VER")), std::string::npos) << out.str();
}

// The same for a download on a faster clock: at a fiftieth the fixed read is over at most 20 ms
// after the write (a 500 ms pause, then the read's 10 ms floor), and the module answers after
// 30 ms. The tool then writes faster than the module answers, so the paced run gets a module
// plugged in again rather than waiting for the old one to work through what is left.
TEST_F(PacedCommands, DownloadOfASlowModuleFailsFixedAndSucceedsPacedByTheAnswer) {
    const Args download = {"--set", "tcp.Port=6001", "--verify"};
    {
        // The reference run at a twentieth: its fixed pauses of 4 ms at the tests' clock once left a
        // machine slowed by the thread sanitizer without an answer.
        const platform::ScopedClockScale reference(0.05);
        EXPECT_EQ(Download(download), kExitDone) << err.str();
    }
    const auto soundDownload = testsupport::RequestBytes(m_sim);

    platform::ScopedClockScale scale(0.02);
    sim::Behaviour slow;
    slow.answerDelayMs = 1500;
    PlugInAgain(slow);
    EXPECT_NE(Download(download), kExitDone);
    PlugInAgain(slow);
    Args paced = download;
    paced.insert(paced.end(), {"--pace", "answer"});
    EXPECT_EQ(Download(paced), kExitDone) << err.str();
    EXPECT_EQ(testsupport::RequestBytes(m_sim), soundDownload);
    EXPECT_NE(m_sim.Value("DTUCFG").find("6001"), std::string::npos) << m_sim.Value("DTUCFG");
}

TEST_F(PacedCommands, AModuleThatNeedsItsSettleTimeIsServedByTheAnswerPacing) {
    // At half the product's scale the settle time (5 ms) is still ten times what the tool takes
    // anyway between an answer and the next request, so a module that needs it would see a
    // request too early; one that needs a tenth more than the settle time already does.
    platform::ScopedClockScale scale(0.5);
    sim::Behaviour settling;
    settling.settleMs = atlink::kFlowSettleMs;
    m_sim.SetBehaviour(settling);
    EXPECT_EQ(Get({"--pace", "answer"}), kExitDone) << err.str();
}

TEST_F(PacedCommands, AModuleThatNeedsMoreThanTheSettleTimeFailsTheGet) {
    sim::Behaviour settling;
    settling.settleMs = 500 * atlink::kFlowSettleMs;
    m_sim.SetBehaviour(settling);
    EXPECT_EQ(Get({"--pace", "answer"}), kExitFailed);
}

TEST_F(PacedCommands, ResetPacedByTheAnswerEndsOnceThePortIsBackAndAnswersAt) {
    const testsupport::CliRun reset =
        testsupport::Cli(RunResetCommand, {"--timeout", "100", "--pace", "answer"});
    const auto requests = testsupport::RequestBytes(m_sim);
    EXPECT_EQ(reset.code, kExitDone) << reset.err << reset.out;
    const auto resetAt = std::find(requests.begin(), requests.end(), "AT+CRESET\r\n");
    ASSERT_NE(resetAt, requests.end());
    // The wait asked the module that came back for "AT" before the scan restarted.
    EXPECT_NE(std::find(resetAt, requests.end(), "AT\r\n"), requests.end());
    const auto resetting = reset.out.find("Resetting...\n");
    ASSERT_NE(resetting, std::string::npos) << reset.out;
    EXPECT_NE(reset.out.find("Scanning equipments...\n", resetting), std::string::npos) << reset.out;
}

TEST_F(PacedCommands, ASilentModulePacedByTheAnswerFailsAtTheCeilingWithItsLine) {
    sim::Behaviour silent;
    silent.silent = true;
    m_sim.SetBehaviour(silent);
    const std::string com = std::to_string(m_sim.Com());
    const testsupport::CliRun direct =
        testsupport::Cli(RunSendCommand, {"--port", com, "--pace", "answer", "AT"});
    EXPECT_EQ(direct.code, kExitFailed);
    EXPECT_EQ(direct.err, "no answer from COM" + com + " within 5 s\n");
    EXPECT_EQ(testsupport::RequestBytes(m_sim), std::vector<std::string>{"AT\r\n"});
}

TEST_F(PacedCommands, ABadPaceIsRefusedBeforeAnythingIsSent) {
    for (const auto& command :
         {RunScanCommand, RunCsqCommand, RunResetCommand, RunGetCommand, RunDownloadCommand, RunPushCommand,
          RunFactoryResetCommand, RunProvisionCommand, RunProvisionUnitCommand}) {
        const testsupport::CliRun bad = testsupport::Cli(command, {"--pace", "fast"});
        EXPECT_EQ(bad.code, kExitUsage);
        EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
        EXPECT_NE(bad.err.find("--pace takes fixed or answer, not \"fast\""), std::string::npos) << bad.err;
    }
    const testsupport::CliRun missing = testsupport::Cli(RunSendViaConsole, {"--pace", "AT"});
    EXPECT_EQ(missing.code, kExitUsage);
    EXPECT_NE(missing.err.find("--pace takes fixed or answer"), std::string::npos) << missing.err;
    EXPECT_TRUE(m_sim.Requests().empty());
}

}  // namespace
}  // namespace marlinq::cli
