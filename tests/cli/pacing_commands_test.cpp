// --pace on the module commands, in this process against the simulator: answer pacing serves a
// module too slow for the fixed pauses with the same requests, keeps the settle time the module
// needs, ends Reset DTU's wait once the module answers again, and a bad value is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "atlink/at_commands.h"
#include "cli/commands.h"
#include "cli/failures.h"
#include "cli/parameter_commands.h"
#include "platform/app_directory.h"
#include "platform/serial_port.h"
#include "simulator/dtu_model.h"
#include "tests/cli/parameter_run_fixture.h"
#include "tests/support/cli_capture.h"
#include "tests/support/sim_fixture.h"

namespace marlinq::cli {
namespace {

// The slow module's runs go at a fiftieth: its answers come 25 ms after each request, long after
// the fixed reads are over (a pause of 6 or 10 ms, then a wait of kHastyReadFloorMs for a first
// byte), and well within the 100 ms that a paced read waits.
constexpr double kSlowRunScale = 0.02;
constexpr std::uint32_t kHastyReadFloorMs = 2;
constexpr std::uint32_t kSlowAnswerMs = 1250;

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

// Each run against the slow module gets it plugged in again, so that nothing the last one still
// owes arrives in it.
TEST_F(PacedCommands, GetOfASlowModuleFailsFixedAndSucceedsPacedByTheAnswer) {
    // What a sound module is sent under the fixed pacing. Its reads wait up to 40 ms for a first
    // byte, so that a loaded machine does not miss an answer behind the short fixed pauses.
    std::vector<std::string> soundGet;
    {
        const testsupport::PatientReads patientReads;
        EXPECT_EQ(Get({}), kExitDone) << err.str();
        soundGet = testsupport::RequestBytes(m_sim);
    }

    const platform::ScopedClockScale scale(kSlowRunScale);
    sim::Behaviour slow;
    slow.answerDelayMs = kSlowAnswerMs;
    PlugInAgain(slow);
    {
        const platform::ScopedSerialReadFloor hastyReads(kHastyReadFloorMs);
        EXPECT_EQ(Get({}), kExitFailed);
    }
    PlugInAgain(slow);
    EXPECT_EQ(Get({"--pace", "answer"}), kExitDone) << err.str();
    EXPECT_EQ(testsupport::RequestBytes(m_sim), soundGet);
    EXPECT_NE(out.str().find("main.AppVersion=" + m_sim.Value("VER")), std::string::npos) << out.str();
}

// The same for a download.
TEST_F(PacedCommands, DownloadOfASlowModuleFailsFixedAndSucceedsPacedByTheAnswer) {
    const Args download = {"--set", "tcp.Port=6001", "--verify"};
    std::vector<std::string> soundDownload;
    {
        const testsupport::PatientReads patientReads;
        EXPECT_EQ(Download(download), kExitDone) << err.str();
        soundDownload = testsupport::RequestBytes(m_sim);
    }

    const platform::ScopedClockScale scale(kSlowRunScale);
    sim::Behaviour slow;
    slow.answerDelayMs = kSlowAnswerMs;
    PlugInAgain(slow);
    {
        const platform::ScopedSerialReadFloor hastyReads(kHastyReadFloorMs);
        EXPECT_NE(Download(download), kExitDone);
    }
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
    // Pinned to the module's port, the scan starts at once instead of after the start timer's 1 s.
    platform::ScopedClockScale scale(0.5);
    sim::Behaviour settling;
    settling.settleMs = atlink::kFlowSettleMs;
    m_sim.SetBehaviour(settling);
    EXPECT_EQ(Get({"--pace", "answer", "--port", std::to_string(m_sim.Com())}), kExitDone) << err.str();
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
