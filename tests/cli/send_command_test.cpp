// marlinq-cli send, run as its own process against a simulator of this test process.
#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace

TEST(CliSend, PrintsTheAnswerOfTheAtPortAndLogsBesideTheProgram) {
    sim::DtuSimulator sim;
    std::string error;
    ASSERT_TRUE(sim.Start({}, &error)) << error;
    const auto before = LogSize();
    const auto result = Cli({"send", "AT+CSQ"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "AT+CSQ\n\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    ASSERT_EQ(sim.Requests().size(), 1u);
    EXPECT_EQ(sim.Requests()[0].bytes, "AT+CSQ\r\n");
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

TEST(CliSend, NoAnswerOrNoPortExitsOne) {
    EXPECT_EQ(Cli({"send", "AT"}).exitCode, 1);
    EXPECT_NE(Cli({"send", "AT"}).out.find("No scan AT port! "), std::string::npos);
    sim::DtuSimulator sim;
    std::string error;
    ASSERT_TRUE(sim.Start({}, &error)) << error;
    sim::Behaviour silent;
    silent.silent = true;
    sim.SetBehaviour(silent);
    EXPECT_EQ(Cli({"send", "AT"}).exitCode, 1);
}

TEST(CliSend, RejectsBadArguments) {
    EXPECT_EQ(Cli({"send"}).exitCode, 2);
    EXPECT_EQ(Cli({"send", "--port", "x", "AT"}).exitCode, 2);
    EXPECT_EQ(Cli({"send", "AT\r\nAT+CRESET"}).exitCode, 2);  // one command per line, never two
    EXPECT_EQ(Cli({"frobnicate"}).exitCode, 2);
}
