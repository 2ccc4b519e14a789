// The marlinq-cli commands run in this process on the scaled clock, against the simulator: the
// module's readiness, the quick queries, Reset DTU and the time-outs, with the exit codes and
// the lines a user sees on standard output.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "atlink/at_log.h"
#include "cli/commands.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/cli_capture.h"
#include "tests/support/poll.h"

namespace {

using marlinq::cli::Args;

using testsupport::Cli;
using testsupport::CliRun;

// What the scan sends each time it finds the module: the version read.
const std::vector<std::string> kVersionRead = {"AT+GMR\r\n", "AT+CSUB\r\n", "AT+VER\r\n", "AT+CIMI\r\n",
                                               "AT+DTUMODE?\r\n"};

// The requests the module got, without the scan's version reads.
std::vector<std::string> RequestBytes(const sim::DtuSimulator& s) {
    std::vector<std::string> out;
    for (const auto& r : s.Requests()) {
        if (std::find(kVersionRead.begin(), kVersionRead.end(), r.bytes) == kVersionRead.end()) {
            out.push_back(r.bytes);
        }
    }
    return out;
}

// Waits until the module has taken in request (true), or a bound meant only for a broken run
// has passed (false).
bool Heard(const sim::DtuSimulator& s, const std::string& request) {
    return testsupport::PollUntil([&] {
        const auto requests = s.Requests();
        return std::any_of(requests.begin(), requests.end(),
                           [&](const sim::RecordedRequest& r) { return r.bytes == request; });
    });
}

std::unique_ptr<sim::DtuSimulator> Module(bool silent = false) {
    auto s = std::make_unique<sim::DtuSimulator>();
    std::string error;
    EXPECT_TRUE(s->Start({}, &error)) << error;
    if (silent) {
        sim::Behaviour b;
        b.silent = true;
        s->SetBehaviour(b);
    }
    return s;
}

std::uintmax_t AtLogSize() {
    std::error_code ec;
    const auto size = std::filesystem::file_size(atlink::AtLogDirectory() + atlink::kAtLogFileName, ec);
    return ec ? 0 : size;
}

// A silent module sends nothing the floor of a read's wait could give time to arrive: the console's
// 50 reads then wait a millisecond each for a first byte instead of the floor meant for answers.
constexpr std::uint32_t kEmptyReadFloorMs = 1;

// Every pause and time-out at a hundredth: the 1 s start timer takes 10 ms, the reset worker's
// 20 s wait 200 ms. Commands that must succeed get a generous time-out of 100 s (1 s here).
class CliCommands : public ::testing::Test {
  protected:
    platform::ScopedClockScale m_scale{0.01};
};

TEST_F(CliCommands, ScanEndsAtTheTimeOutWithoutAModuleAndAtTheReadyLineWithOne) {
    // 10 s (100 ms here): the first scan, 1 s after the start, must have ended before the time-out
    // for its line to be printed, which 1 s (20 ms) did not always allow under the thread sanitizer.
    const CliRun absent = Cli(marlinq::cli::RunScanCommand, {"--timeout", "10"});
    EXPECT_EQ(absent.code, 1);
    EXPECT_NE(absent.out.find("Equipment is not ready!\n"), std::string::npos) << absent.out;
    EXPECT_EQ(absent.err, "no module found within 10 s\n");

    auto module = Module();
    const CliRun scan = Cli(marlinq::cli::RunScanCommand, {"--timeout", "100"});
    EXPECT_EQ(scan.code, 0);
    EXPECT_NE(scan.out.find("Equipment ready [AT:COM" + std::to_string(module->Com()) + "] for operation!\n"),
              std::string::npos)
        << scan.out;
    EXPECT_TRUE(RequestBytes(*module).empty()) << "scanning sends only the version read";
    EXPECT_EQ(module->Requests().size(), kVersionRead.size());
}

TEST_F(CliCommands, QuickQueriesWaitForTheModuleAndPrintItsAnswer) {
    auto module = Module();
    const CliRun cfg = Cli(marlinq::cli::RunDtuCfgCommand, {"--timeout", "100"});
    EXPECT_EQ(cfg.code, 0);
    EXPECT_NE(cfg.out.find("+DTUCFG: " + module->Value("DTUCFG")), std::string::npos) << cfg.out;
    EXPECT_EQ(Cli(marlinq::cli::RunSimCardCommand, {"--timeout", "100"}).code, 0);
    EXPECT_EQ(Cli(marlinq::cli::RunNetworkCommand, {"--timeout", "100"}).code, 0);
    const auto before = AtLogSize();
    const CliRun csq = Cli(marlinq::cli::RunCsqCommand, {"--timeout", "100"});
    EXPECT_EQ(csq.code, 0);
    EXPECT_NE(csq.out.find("AT+CSQ\n\n+CSQ: 23,99\n\nOK\n"), std::string::npos) << csq.out;
    EXPECT_GT(AtLogSize(), before) << "the traffic goes to the log beside the program";
    EXPECT_EQ(RequestBytes(*module),
              (std::vector<std::string>{"AT+DTUCFG?\r\n", "AT+CPIN?\r\n", "AT+CPSI?\r\n", "AT+CSQ\r\n"}));
}

TEST_F(CliCommands, SendThroughTheConsoleAndToAnExplicitPort) {
    auto module = Module();
    const CliRun viaConsole = Cli(marlinq::cli::RunSendViaConsole, {"--timeout", "100", "AT+NOSUCH"});
    EXPECT_EQ(viaConsole.code, 0) << "an ERROR is an answer";
    const auto ready = viaConsole.out.find("Equipment ready [AT:COM");
    const auto answer = viaConsole.out.find("AT+NOSUCH\n\nERROR\n");
    ASSERT_NE(ready, std::string::npos) << viaConsole.out;
    ASSERT_NE(answer, std::string::npos) << viaConsole.out;
    EXPECT_LT(ready, answer) << "the command waits for the module";

    const CliRun direct =
        Cli(marlinq::cli::RunSendCommand, {"--port", std::to_string(module->Com()), "AT+CSQ"});
    EXPECT_EQ(direct.code, 0);
    EXPECT_EQ(direct.out, "AT+CSQ\n\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    EXPECT_EQ(RequestBytes(*module), (std::vector<std::string>{"AT+NOSUCH\r\n", "AT+CSQ\r\n"}));
}

TEST_F(CliCommands, NoModuleOrNoPortExitsOne) {
    // Long enough (0.2 s at the test scale) for the scan's first pass, 10 ms after the start, to
    // log its line on a slow (sanitized, loaded) run.
    const CliRun absent = Cli(marlinq::cli::RunSendViaConsole, {"--timeout", "20", "AT"});
    EXPECT_EQ(absent.code, 1);
    EXPECT_NE(absent.out.find("Equipment is not ready!"), std::string::npos) << absent.out;
    const CliRun noPort = Cli(marlinq::cli::RunSendCommand, {"--port", "250", "AT"});
    EXPECT_EQ(noPort.code, 1);
    EXPECT_EQ(noPort.out, "AT\n");
    const CliRun noLookup = Cli(marlinq::cli::RunSendCommand, {"AT"});
    EXPECT_EQ(noLookup.code, 1);
    EXPECT_EQ(noLookup.out, "No scan AT port! \n");
}

TEST_F(CliCommands, ASilentModuleThroughTheConsoleExitsOne) {
    auto module = Module(true);
    const platform::ScopedSerialReadFloor shortReads(kEmptyReadFloorMs);
    const CliRun silent = Cli(marlinq::cli::RunSendViaConsole, {"--timeout", "100", "AT"});
    EXPECT_EQ(silent.code, 1);
    // The console may give up before the module's thread has taken the request in.
    EXPECT_TRUE(Heard(*module, "AT\r\n"));
    EXPECT_EQ(RequestBytes(*module), std::vector<std::string>{"AT\r\n"});
    // Only the echo: the command leaves Config.xml alone at its end.
    EXPECT_TRUE(silent.out.ends_with("AT\n")) << silent.out;
}

TEST_F(CliCommands, ASilentExplicitPortExitsOne) {
    auto module = Module(true);
    const platform::ScopedSerialReadFloor shortReads(kEmptyReadFloorMs);
    const CliRun silent = Cli(marlinq::cli::RunSendCommand, {"--port", std::to_string(module->Com()), "AT"});
    EXPECT_EQ(silent.code, 1);
    EXPECT_EQ(silent.out, "AT\n");
    EXPECT_TRUE(Heard(*module, "AT\r\n"));
    EXPECT_EQ(RequestBytes(*module), std::vector<std::string>{"AT\r\n"});
}

TEST_F(CliCommands, ResetEndsOnceTheScanHasRestarted) {
    auto module = Module();
    const CliRun reset = Cli(marlinq::cli::RunResetCommand, {"--timeout", "100"});
    EXPECT_EQ(reset.code, 0);
    // The restarted scan reads the versions again after the reset.
    ASSERT_FALSE(RequestBytes(*module).empty());
    EXPECT_EQ(RequestBytes(*module).back(), "AT+CRESET\r\n");
    const auto resetting = reset.out.find("Resetting...\n");
    ASSERT_NE(resetting, std::string::npos) << reset.out;
    EXPECT_NE(reset.out.find("Scanning equipments...\n", resetting), std::string::npos) << reset.out;
}

TEST_F(CliCommands, ResetWithoutAnAnswerRestartsTheScanAndFails) {
    auto module = Module();
    const CliRun ready = Cli(marlinq::cli::RunScanCommand, {"--timeout", "100"});
    ASSERT_EQ(ready.code, 0);
    sim::Behaviour silent;
    silent.silent = true;
    module->SetBehaviour(silent);
    const CliRun reset = Cli(marlinq::cli::RunResetCommand, {"--timeout", "100"});
    EXPECT_EQ(reset.code, 1) << reset.out;  // the module did not reset: not done
    EXPECT_EQ(reset.err, "no answer from COM" + std::to_string(module->Com()) + " within 0.4 s\n");
    EXPECT_EQ(RequestBytes(*module), std::vector<std::string>{"AT+CRESET\r\n"});
    const auto resetting = reset.out.find("Resetting...\n");
    ASSERT_NE(resetting, std::string::npos) << reset.out;
    EXPECT_NE(reset.out.find("Scanning equipments...\n", resetting), std::string::npos) << reset.out;
}

TEST(CliDispatch, AnUnknownCommandIsNamedOnOneLineThatPointsToHelp) {
    const CliRun typo = testsupport::RunCli({"gett", "--out", "x.xml"});
    EXPECT_EQ(typo.code, 2);
    EXPECT_EQ(typo.err, "marlinq-cli: unknown command 'gett'; see marlinq-cli --help\n");
    EXPECT_EQ(typo.out, "");
    // The word is shown bounded and without control characters.
    const CliRun odd = testsupport::RunCli({"g\x1b[2Jet" + std::string(100, 'x')});
    EXPECT_EQ(odd.code, 2);
    EXPECT_EQ(odd.err, "marlinq-cli: unknown command 'g?[2Jet" + std::string(33, 'x') +
                           "...'; see marlinq-cli --help\n");

    const CliRun help = testsupport::RunCli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: marlinq-cli COMMAND [arguments]\n", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("\n  get [--timeout S]"), std::string::npos) << help.out;
}

}  // namespace
