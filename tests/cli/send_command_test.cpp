// marlinq-cli send, run as its own process against a simulator of this test process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/run_process.h"

namespace {

testsupport::ProcessResult Cli(const std::vector<std::string>& args) {
    return testsupport::RunProcess(MARLINQ_CLI_EXE, args);
}

std::uintmax_t LogSize() {
    const auto log = std::filesystem::path(MARLINQ_CLI_EXE).parent_path() / "AtLog.ini";
    std::error_code ec;
    const auto size = std::filesystem::file_size(log, ec);
    return ec ? 0 : size;
}

// What the scan sends each time it finds the module: the version read.
const std::vector<std::string> kVersionRead = {"AT+GMR\r\n", "AT+CSUB\r\n", "AT+VER\r\n", "AT+CIMI\r\n",
                                               "AT+DTUMODE?\r\n"};

// The requests the simulator got, without the scan's version reads.
std::vector<std::string> BeyondVersionReads(const sim::DtuSimulator& sim) {
    std::vector<std::string> sent;
    for (const auto& r : sim.Requests()) {
        if (std::find(kVersionRead.begin(), kVersionRead.end(), r.bytes) == kVersionRead.end()) {
            sent.push_back(r.bytes);
        }
    }
    return sent;
}

}  // namespace

TEST(CliSend, PrintsTheAnswerOfTheAtPortAndLogsBesideTheProgram) {
    sim::DtuSimulator sim;
    std::string error;
    ASSERT_TRUE(sim.Start({}, &error)) << error;
    const auto before = LogSize();
    const auto result = Cli({"send", "AT+CSQ"});
    EXPECT_EQ(result.exitCode, 0);
    // The log pane's lines: the readiness line, then the echoed command and the raw answer.
    const auto ready =
        result.out.find("Equipment ready [AT:COM" + std::to_string(sim.Com()) + "] for operation!\n");
    const auto answer = result.out.find("AT+CSQ\n\n+CSQ: 23,99\n\nOK\n");
    ASSERT_NE(ready, std::string::npos) << result.out;
    ASSERT_NE(answer, std::string::npos) << result.out;
    EXPECT_LT(ready, answer);
    EXPECT_EQ(BeyondVersionReads(sim), std::vector<std::string>{"AT+CSQ\r\n"});
    EXPECT_EQ(sim.Requests().size(), kVersionRead.size() + 1);
    EXPECT_GT(LogSize(), before);
}

TEST(CliSend, ExplicitPortAndAnErrorAnswer) {
    sim::DtuSimulator sim;
    std::string error;
    ASSERT_TRUE(sim.Start({}, &error)) << error;
    const auto result = Cli({"send", "--port", std::to_string(sim.Com()), "AT+NOSUCH"});
    EXPECT_EQ(result.exitCode, 0);  // an ERROR is an answer
    EXPECT_NE(result.out.find("ERROR"), std::string::npos);
}

TEST(CliSend, NoAnswerOrNoModuleExitsOne) {
    const auto absent = Cli({"send", "--timeout", "1", "AT"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_NE(absent.out.find("Equipment is not ready!"), std::string::npos) << absent.out;
    EXPECT_NE(Cli({"send", "--port", "250", "AT"}).out.find("AT"), std::string::npos);
    EXPECT_EQ(Cli({"send", "--port", "250", "AT"}).exitCode, 1);
    sim::DtuSimulator sim;
    std::string error;
    ASSERT_TRUE(sim.Start({}, &error)) << error;
    sim::Behaviour silent;
    silent.silent = true;
    sim.SetBehaviour(silent);
    EXPECT_EQ(Cli({"send", "--timeout", "5", "AT"}).exitCode, 1);
    EXPECT_EQ(Cli({"send", "--port", std::to_string(sim.Com()), "AT"}).exitCode, 1);
}

TEST(CliSend, RejectsBadArguments) {
    EXPECT_EQ(Cli({"send"}).exitCode, 2);
    EXPECT_EQ(Cli({"send", "--port", "x", "AT"}).exitCode, 2);
    EXPECT_EQ(Cli({"send", "AT\r\nAT+CRESET"}).exitCode, 2);  // one command per line, never two
    EXPECT_EQ(Cli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(Cli({"scan", "--timeout", "0"}).exitCode, 2);
    EXPECT_EQ(Cli({"csq", "extra"}).exitCode, 2);
}

TEST(CliModuleCommands, ScanAndQuickQueriesWaitForTheModule) {
    EXPECT_EQ(Cli({"scan", "--timeout", "1"}).exitCode, 1);
    sim::DtuSimulator sim;
    std::string error;
    ASSERT_TRUE(sim.Start({}, &error)) << error;
    const auto scan = Cli({"scan"});
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_NE(scan.out.find("Equipment ready [AT:COM"), std::string::npos) << scan.out;
    EXPECT_TRUE(BeyondVersionReads(sim).empty()) << "scanning sends only the version read";
    const auto cfg = Cli({"dtucfg"});
    EXPECT_EQ(cfg.exitCode, 0);
    EXPECT_NE(cfg.out.find("+DTUCFG: " + sim.Value("DTUCFG")), std::string::npos) << cfg.out;
    EXPECT_EQ(Cli({"simcard"}).exitCode, 0);
    EXPECT_EQ(Cli({"network"}).exitCode, 0);
    EXPECT_EQ(BeyondVersionReads(sim),
              (std::vector<std::string>{"AT+DTUCFG?\r\n", "AT+CPIN?\r\n", "AT+CPSI?\r\n"}));
}

TEST(CliModuleCommands, ResetEndsOnceTheScanHasRestarted) {
    sim::DtuSimulator sim;
    std::string error;
    ASSERT_TRUE(sim.Start({}, &error)) << error;
    const auto reset = Cli({"reset"});  // the worker's 20 s wait for the module runs in full here
    EXPECT_EQ(reset.exitCode, 0);
    // The restarted scan reads the versions again after the reset.
    ASSERT_FALSE(BeyondVersionReads(sim).empty());
    EXPECT_EQ(BeyondVersionReads(sim).back(), "AT+CRESET\r\n");
    const auto resetting = reset.out.find("Resetting...");
    ASSERT_NE(resetting, std::string::npos) << reset.out;
    EXPECT_NE(reset.out.find("Scanning equipments...", resetting), std::string::npos);
}
