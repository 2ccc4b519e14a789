// Module commands pinned to one port with --port N, with several modules attached: each command
// talks to its own module only, holds its port from the first request to the last, reads the
// versions once, and names the port and the cause when the port is missing or held.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "parameters/parameter_names.h"
#include "parameters/parameter_table.h"
#include "simulator/module_rack.h"
#include "tests/support/cli_capture.h"
#include "tests/support/poll.h"
#include "tests/support/run_process.h"
#include "tests/support/sim_fixture.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunCli;

// The module's parameter list with its server port (field 3) set to port.
std::string DtuCfgWithServerPort(int port) {
    return "115200,203.0.113.10," + std::to_string(port) + ",TCP,0,,60,0X31323334,0,0,0,500,0,0,0,0,120";
}

// The line get prints for the server port.
std::string ServerPortLine(int port) {
    return parameters::ParameterName(*parameters::DtuCfgFieldRow(3)) + "=" + std::to_string(port) + "\n";
}

std::size_t Count(const std::vector<std::string>& requests, const std::string& request) {
    return static_cast<std::size_t>(std::count(requests.begin(), requests.end(), request));
}

class PinnedPort : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(m_rack.Start(4, {}, "001019000000100", &error)) << error;
        for (std::size_t i = 0; i < m_rack.Size(); ++i) {
            m_rack.Module(i).SetValue("DTUCFG", DtuCfgWithServerPort(5001 + static_cast<int>(i)));
        }
    }
    std::string Port(std::size_t i) { return std::to_string(m_rack.Module(i).Com()); }
    std::string ComName(std::size_t i) { return "COM" + Port(i); }

    platform::ScopedClockScale m_scale{testsupport::kTestClockScale};
    sim::ModuleRack m_rack;
};

}  // namespace

TEST_F(PinnedPort, FourGetProcessesAtOnceEachReadTheirOwnModuleOnly) {
    // A copy of the program of its own, so that the files it keeps beside itself stay here.
    const fs::path dir = fs::temp_directory_path() / ("marlinq-pinned-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(MARLINQ_CLI_EXE, dir / "marlinq-cli");
    // The programs run their pauses at a tenth: a Get still holds its port for a good while after
    // its first requests, long enough for the other program below to be turned away.
    ::setenv("MARLINQ_CLOCK_SCALE", "0.1", 1);
    std::vector<std::unique_ptr<testsupport::ChildProcess>> runs;
    for (std::size_t i = 0; i < m_rack.Size(); ++i) {
        runs.push_back(std::make_unique<testsupport::ChildProcess>(
            (dir / "marlinq-cli").string(), std::vector<std::string>{"get", "--port", Port(i)}));
    }
    ::unsetenv("MARLINQ_CLOCK_SCALE");
    // Between its first requests and its last, each holds its port: another program is turned
    // away, and its request never reaches the module. Each is tried as soon as its module has heard
    // two requests, whichever program got that far first.
    std::vector<bool> tried(runs.size(), false);
    const bool allTried = testsupport::PollUntil([&] {
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (tried[i] || m_rack.Module(i).Requests().size() < 2) {
                continue;
            }
            SCOPED_TRACE(ComName(i));
            tried[i] = true;
            const auto second = RunCli({"send", "--port", Port(i), "AT+CSQ"});
            EXPECT_EQ(second.code, 1);
            EXPECT_EQ(second.err, ComName(i) + " is busy: another program holds it\n");
        }
        return std::find(tried.begin(), tried.end(), false) == tried.end();
    });
    ASSERT_TRUE(allTried) << "every module heard its Get's first requests";
    std::vector<std::vector<std::string>> heard;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(ComName(i));
        const auto end = runs[i]->Wait();
        EXPECT_EQ(end.exitCode, 0) << end.err;
        EXPECT_EQ(end.err, "");
        EXPECT_NE(end.out.find(ServerPortLine(5001 + static_cast<int>(i))), std::string::npos) << end.out;
        EXPECT_NE(end.out.find("Equipment ready [AT:" + ComName(i) + "] for operation!"), std::string::npos)
            << end.out;
        heard.push_back(testsupport::RequestBytes(m_rack.Module(i)));
        // Its readiness is the first request, and the versions are read once, by Get.
        ASSERT_FALSE(heard.back().empty());
        EXPECT_EQ(heard.back().front(), "AT\r\n");
        for (const char* version : {"AT+GMR\r\n", "AT+CSUB\r\n", "AT+VER\r\n", "AT+CIMI\r\n"}) {
            EXPECT_EQ(Count(heard.back(), version), 1u) << version;
        }
        EXPECT_EQ(Count(heard.back(), "AT+DTUCFG?\r\n"), 1u);
        EXPECT_EQ(Count(heard.back(), "AT+CSQ\r\n"), 0u);
    }
    // Every module heard exactly one Get: no process asked another one's module anything.
    for (std::size_t i = 1; i < heard.size(); ++i) {
        EXPECT_EQ(heard[i], heard[0]) << ComName(i);
    }
    runs.clear();
    fs::remove_all(dir);
}

TEST_F(PinnedPort, TheCommandsGoToTheirPortNotToTheLastAtPortTheScanWouldTake) {
    // The scan takes the last AT port it lists; pinned, the first module is the one asked.
    const auto csq = RunCli({"csq", "--port", Port(0)});
    EXPECT_EQ(csq.code, 0) << csq.err;
    EXPECT_NE(csq.out.find("+CSQ: 23,99"), std::string::npos) << csq.out;
    const auto scan = RunCli({"scan", "--port", Port(1), "--timeout", "5"});
    EXPECT_EQ(scan.code, 0) << scan.err;
    EXPECT_NE(scan.out.find("Equipment ready [AT:" + ComName(1) + "] for operation!"), std::string::npos);
    const parameters::ParameterRow& serverPort = *parameters::DtuCfgFieldRow(3);
    const auto download =
        RunCli({"download", "--port", Port(2), "--set",
                std::to_string(serverPort.dialog) + ":" + std::to_string(serverPort.id) + "=6002"});
    EXPECT_EQ(download.code, 0) << download.err;
    const std::string stored = m_rack.Module(2).Value("DTUCFG");
    EXPECT_EQ(stored.substr(stored.find(',', stored.find(',') + 1) + 1, 5), "6002,") << stored;

    const auto csqHeard = testsupport::RequestBytes(m_rack.Module(0));
    EXPECT_EQ(csqHeard.front(), "AT\r\n");
    EXPECT_EQ(Count(csqHeard, "AT+CSQ\r\n"), 1u);
    // The console's command reads the versions once, at readiness, as the scan does.
    EXPECT_EQ(Count(csqHeard, "AT+GMR\r\n"), 1u);
    EXPECT_EQ(testsupport::RequestBytes(m_rack.Module(1)).front(), "AT\r\n");
    EXPECT_EQ(Count(testsupport::RequestBytes(m_rack.Module(2)), "AT+GMR\r\n"), 1u);
    // Reset DTU on its port: the module restarts, the command ends once the scan has restarted.
    const auto reset = RunCli({"reset", "--port", Port(1)});
    EXPECT_EQ(reset.code, 0) << reset.err;
    EXPECT_EQ(Count(testsupport::RequestBytes(m_rack.Module(1)), "AT+CRESET\r\n"), 1u);
    EXPECT_TRUE(m_rack.Module(3).Requests().empty());
    EXPECT_EQ(m_rack.Module(3).Value("DTUCFG"), DtuCfgWithServerPort(5004));
}

TEST_F(PinnedPort, APortHeldByAnotherProgramIsNamedAndNothingIsSent) {
    for (const char* mode : {"excl", "flock", "port"}) {
        SCOPED_TRACE(mode);
        testsupport::ChildProcess holder(HOLD_PORT_EXE, {Port(1), mode});
        ASSERT_TRUE(holder.ReadUntil("open\n", 10000));
        const auto get = RunCli({"get", "--port", Port(1)});
        EXPECT_EQ(get.code, 1);
        EXPECT_EQ(get.err, ComName(1) + " is busy: another program holds it\n");
        const auto dtucfg = RunCli({"dtucfg", "--port", Port(1)});
        EXPECT_EQ(dtucfg.code, 1);
        EXPECT_EQ(dtucfg.err, ComName(1) + " is busy: another program holds it\n");
        holder.CloseInput();
        EXPECT_EQ(holder.Wait().exitCode, 0);
    }
    for (std::size_t i = 0; i < m_rack.Size(); ++i) {
        EXPECT_TRUE(m_rack.Module(i).Requests().empty()) << ComName(i);
    }
}

TEST_F(PinnedPort, AMissingPortFailsAtOnceAndASilentOneAtTheTimeout) {
    const int missing = m_rack.Module(3).Com();
    m_rack.Module(3).Stop();
    for (const char* command : {"get", "csq", "scan", "reset"}) {
        SCOPED_TRACE(command);
        const auto run = RunCli({command, "--port", std::to_string(missing)});
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, "COM" + std::to_string(missing) + " does not exist\n");
    }
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(m_rack.Module(i).Requests().empty()) << ComName(i);
    }
    sim::Behaviour silent;
    silent.silent = true;
    m_rack.Module(0).SetBehaviour(silent);
    const auto quiet = RunCli({"get", "--port", Port(0), "--timeout", "2"});
    EXPECT_EQ(quiet.code, 1);
    EXPECT_EQ(quiet.err, ComName(0) + " did not answer AT with OK within 2 s\n");
    const auto heard = testsupport::RequestBytes(m_rack.Module(0));
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(Count(heard, "AT\r\n"), heard.size()) << "nothing but the readiness question was sent";
}

TEST_F(PinnedPort, AMalformedPortIsAUsageError) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"get", "--port"},
                                                                  {"get", "--port", "0"},
                                                                  {"csq", "--port", "COM3"},
                                                                  {"reset", "--port", "100000"},
                                                                  {"push", "--port", "-1", "x.xml"},
                                                                  {"download", "--port", "1x"}}) {
        SCOPED_TRACE(args.front() + " " + args.back());
        const auto run = RunCli(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find("--port"), std::string::npos) << run.err;
    }
    for (std::size_t i = 0; i < m_rack.Size(); ++i) {
        EXPECT_TRUE(m_rack.Module(i).Requests().empty());
    }
}
