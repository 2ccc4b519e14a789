// --json of the module commands, in this process on the scaled clock against the simulator: one
// JSON object on standard output and nothing else there (the log goes to standard error), the
// exit code as without it, the first failure's line, and what the command got.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/command_report.h"
#include "cli/commands.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/cli_capture.h"
#include "tests/support/poll.h"

namespace {

using nlohmann::json;
using testsupport::Cli;
using testsupport::CliRun;

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

// The one JSON object on standard output; a test failure when there is anything else.
json Parsed(const CliRun& run) {
    json parsed;
    try {
        parsed = json::parse(run.out);
    } catch (const json::exception& e) {
        ADD_FAILURE() << "not one JSON value: " << e.what() << "\n" << run.out;
        return json::object();
    }
    EXPECT_TRUE(parsed.is_object()) << run.out;
    return parsed;
}

class JsonOutput : public ::testing::Test {
  protected:
    platform::ScopedClockScale m_scale{0.01};
};

TEST_F(JsonOutput, QuickQueriesCarryTheRequestThePortAndTheAnswerLines) {
    auto module = Module();
    const std::string com = std::to_string(module->Com());
    const CliRun csq = Cli(marlinq::cli::RunCsqCommand, {"--json", "--timeout", "100"});
    EXPECT_EQ(csq.code, 0) << csq.err;
    const json j = Parsed(csq);
    EXPECT_EQ(j["command"], "csq");
    EXPECT_EQ(j["ok"], true);
    EXPECT_EQ(j["exit"], 0);
    EXPECT_TRUE(j["failure"].is_null());
    EXPECT_EQ(j["request"], "AT+CSQ");
    EXPECT_EQ(j["port"], module->Com());
    EXPECT_EQ(j["answer"], json::array({"+CSQ: 23,99", "OK"}));
    // The log is still there for a person, on standard error.
    EXPECT_NE(csq.err.find("Equipment ready [AT:COM" + com + "]"), std::string::npos) << csq.err;
    EXPECT_NE(csq.err.find("+CSQ: 23,99"), std::string::npos) << csq.err;

    const CliRun cfg = Cli(marlinq::cli::RunDtuCfgCommand, {"--timeout", "100", "--json"});
    EXPECT_EQ(Parsed(cfg)["answer"], json::array({"+DTUCFG: " + module->Value("DTUCFG"), "OK"}));
    EXPECT_EQ(Parsed(cfg)["command"], "dtucfg");

    // An ERROR from the module is an answer, as without --json.
    const CliRun unknown = Cli(marlinq::cli::RunSendViaConsole, {"--timeout", "100", "--json", "AT+NOSUCH"});
    EXPECT_EQ(unknown.code, 0);
    EXPECT_EQ(Parsed(unknown)["request"], "AT+NOSUCH");
    EXPECT_EQ(Parsed(unknown)["answer"], json::array({"ERROR"}));

    const CliRun direct = Cli(marlinq::cli::RunSendCommand, {"--port", com, "--json", "AT+CPIN?"});
    EXPECT_EQ(direct.code, 0);
    EXPECT_EQ(Parsed(direct)["answer"], json::array({"+CPIN: READY", "OK"}));
    EXPECT_EQ(Parsed(direct)["port"], module->Com());
    EXPECT_EQ(direct.err, "AT+CPIN?\n\r\n+CPIN: READY\r\n\r\nOK\r\n") << "the printed answer moves to stderr";

    const CliRun scan = Cli(marlinq::cli::RunScanCommand, {"--json", "--timeout", "100"});
    EXPECT_EQ(scan.code, 0);
    EXPECT_EQ(Parsed(scan)["port"], module->Com());
    EXPECT_EQ(Parsed(scan)["ok"], true);
}

TEST_F(JsonOutput, FailuresKeepTheirExitCodeAndCarryTheFirstFailureLine) {
    const CliRun absent = Cli(marlinq::cli::RunNetworkCommand, {"--json", "--timeout", "1"});
    EXPECT_EQ(absent.code, 1);
    json j = Parsed(absent);
    EXPECT_EQ(j["ok"], false);
    EXPECT_EQ(j["exit"], 1);
    EXPECT_EQ(j["failure"], "no module found within 1 s");
    EXPECT_EQ(j["request"], "AT+CPSI?");
    EXPECT_FALSE(j.contains("answer")) << "nothing was sent";
    EXPECT_NE(absent.err.find("no module found within 1 s\n"), std::string::npos) << "still said on stderr";

    auto module = Module(true);
    CliRun silent;
    {
        // Nothing comes from a silent module: the console's 50 reads need not each wait the floor.
        const platform::ScopedSerialReadFloor shortReads(1);
        silent = Cli(marlinq::cli::RunSendViaConsole, {"--timeout", "100", "--json", "AT"});
    }
    EXPECT_EQ(silent.code, 1);
    j = Parsed(silent);
    EXPECT_EQ(j["failure"], "no answer from COM" + std::to_string(module->Com()) + " within 3.6 s");
    EXPECT_EQ(j["answer"], json::array());
    EXPECT_EQ(j["port"], module->Com());
    // The console may give up before the module's thread has taken the request in; it is counted
    // below among what the module heard before the commands that must send nothing.
    EXPECT_TRUE(testsupport::PollUntil([&module] {
        const auto requests = module->Requests();
        return !requests.empty() && requests.back().bytes == "AT\r\n";
    }));

    const CliRun noPort = Cli(marlinq::cli::RunSendCommand, {"--port", "250", "--json", "AT"});
    EXPECT_EQ(noPort.code, 1);
    EXPECT_EQ(Parsed(noPort)["failure"], "COM250 does not exist");

    // A usage error: exit 2, and the object says why; nothing was sent.
    const auto heard = module->Requests().size();
    const CliRun usage = Cli(marlinq::cli::RunCsqCommand, {"--json", "--timeout", "x"});
    EXPECT_EQ(usage.code, 2);
    j = Parsed(usage);
    EXPECT_EQ(j["exit"], 2);
    EXPECT_EQ(j["ok"], false);
    EXPECT_EQ(j["failure"],
              "marlinq-cli csq: --timeout needs a whole number from 1 to 86400, not \"x\" "
              "(usage: marlinq-cli csq [--timeout S] [--port N] [--pace fixed|answer] [--json])");
    const CliRun pushMissing = Cli(marlinq::cli::RunPushCommand, {"--json", "no such file.xml"});
    EXPECT_EQ(pushMissing.code, 1);
    EXPECT_EQ(Parsed(pushMissing)["failure"], "cannot push no such file.xml: no such file");
    EXPECT_EQ(module->Requests().size(), heard);
}

TEST_F(JsonOutput, WithoutJsonNothingChanges) {
    auto module = Module();
    const CliRun csq = Cli(marlinq::cli::RunCsqCommand, {"--timeout", "100"});
    EXPECT_EQ(csq.code, 0);
    EXPECT_NE(csq.out.find("AT+CSQ\n\n+CSQ: 23,99\n\nOK\n"), std::string::npos) << csq.out;
    EXPECT_EQ(csq.out.find('{'), std::string::npos);
    EXPECT_EQ(csq.err, "");
}

TEST(AnswerLines, SplitAtEveryLineEndAndLeaveOutEmptyLines) {
    using marlinq::cli::AnswerLines;
    EXPECT_EQ(AnswerLines("\r\n+CSQ: 23,99\r\n\r\nOK\r\n"), (std::vector<std::string>{"+CSQ: 23,99", "OK"}));
    EXPECT_EQ(AnswerLines("one\ntwo\rthree"), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_TRUE(AnswerLines("").empty());
    EXPECT_TRUE(AnswerLines("\r\n\r\n").empty());
}

}  // namespace
