// Several modules in one process: each its own number, IMSI, parameters and request log, each
// listed as an AT port; and the dtusim program that runs them.
#include "simulator/module_rack.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <set>

#include "atlink/at_serial_port.h"
#include "discovery/at_port.h"
#include "platform/present_devices.h"
#include "tests/support/read_file.h"
#include "tests/support/run_process.h"
#include "tests/support/sim_fixture.h"

namespace {

namespace fs = std::filesystem;

class ModuleRackTest : public ::testing::Test {
  protected:
    platform::ScopedClockScale m_scale{testsupport::kTestClockScale};
    sim::ModuleRack m_rack;
};

}  // namespace

TEST(ImsiRules, OnlyFifteenDigitsAreAnImsiAndTheRackCountsOnFromItsBase) {
    EXPECT_TRUE(sim::IsValidImsi("001010123456789"));
    EXPECT_TRUE(sim::IsValidImsi("999999999999999"));
    for (const char* wrong : {"", "00101012345678", "0010101234567890", "00101012345678x", " 01010123456789",
                              "+01010123456789", "00101012345678\n"}) {
        SCOPED_TRACE(wrong);
        EXPECT_FALSE(sim::IsValidImsi(wrong));
    }
    EXPECT_EQ(sim::NthImsi("001010123456789", 0), "001010123456789");
    EXPECT_EQ(sim::NthImsi("001010123456789", 3), "001010123456792");
    EXPECT_EQ(sim::NthImsi("001010123456799", 1), "001010123456800");  // carries over
    EXPECT_EQ(sim::NthImsi("999999999999998", 2), "000000000000000");  // stays 15 digits
}

TEST_F(ModuleRackTest, FourModulesAreFourAtPortsWithTheirOwnImsiParametersAndRequests) {
    std::string error;
    ASSERT_TRUE(m_rack.Start(4, {}, "262011234500000", &error)) << error;
    ASSERT_EQ(m_rack.Size(), 4u);
    std::set<int> coms;
    std::set<std::string> ptys;
    for (std::size_t i = 0; i < 4; ++i) {
        coms.insert(m_rack.Module(i).Com());
        ptys.insert(m_rack.Module(i).PortPath());
    }
    EXPECT_EQ(coms.size(), 4u);
    EXPECT_EQ(ptys.size(), 4u);
    EXPECT_EQ(*coms.rbegin() - *coms.begin(), 3) << "the numbers follow each other";

    // The tool's listing shows each as an AT port, as it shows one module.
    std::set<int> listed;
    for (const auto& dev : platform::ListPresentSerialDevices()) {
        if (dev.friendly.find("AT Port") != std::string::npos) {
            listed.insert(ComNumberFromFriendlyName(dev.friendly));
        }
    }
    EXPECT_EQ(listed, coms);

    // Each answers with its own IMSI and keeps its own parameters and requests.
    atlink::CSerialPort port;
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(port.QueryCimi(m_rack.Module(i).Com()),
                  sim::NthImsi("262011234500000", static_cast<int>(i)));
    }
    ASSERT_TRUE(port.SetDtuMode(m_rack.Module(2).Com(), "2"));
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m_rack.Module(i).Value("DTUMODE"), i == 2 ? "2" : "0");
        const std::vector<std::string> expected =
            i == 2 ? std::vector<std::string>{"AT+CIMI\r\n", "AT+DTUMODE=2\r\n"}
                   : std::vector<std::string>{"AT+CIMI\r\n"};
        EXPECT_EQ(testsupport::RequestBytes(m_rack.Module(i)), expected);
    }
    m_rack.Stop();
    EXPECT_EQ(FindAtPortNumber(), 0);
}

TEST_F(ModuleRackTest, AGivenFirstNumberIsCountedOnAndBadCountsOrImsisStartNothing) {
    std::string error;
    sim::SimulatorOptions options;
    options.com = 611;
    ASSERT_TRUE(m_rack.Start(2, options, "", &error)) << error;
    EXPECT_EQ(m_rack.Module(0).Com(), 611);
    EXPECT_EQ(m_rack.Module(1).Com(), 612);
    EXPECT_EQ(m_rack.Imsi(0), sim::kDefaultImsi);
    EXPECT_EQ(m_rack.Imsi(1), sim::NthImsi(sim::kDefaultImsi, 1));
    m_rack.Stop();
    for (const int count : {0, -1, sim::kMaxRackModules + 1}) {
        SCOPED_TRACE(count);
        EXPECT_FALSE(m_rack.Start(count, {}, "", &error));
        EXPECT_NE(error.find("from 1 to 32"), std::string::npos) << error;
    }
    EXPECT_FALSE(m_rack.Start(2, {}, "12345", &error));
    EXPECT_EQ(error, "an IMSI is 15 digits, not \"12345\"");
    // A number that is taken stops the whole rack: no module is left behind.
    sim::DtuSimulator taken;
    sim::SimulatorOptions at;
    at.com = 702;
    ASSERT_TRUE(taken.Start(at, &error)) << error;
    options.com = 701;
    EXPECT_FALSE(m_rack.Start(3, options, "", &error));
    EXPECT_EQ(m_rack.Size(), 0u);
    EXPECT_EQ(FindAtPortNumber(), 702);
}

TEST(DtusimProgram, CountAndImsiPrintOneLinePerModuleAndEachModuleLogsItsOwnRequests) {
    const fs::path dir = fs::temp_directory_path() / ("marlinq-dtusim-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string log = (dir / "requests.log").string();
    testsupport::ChildProcess dtusim(DTUSIM_EXE, {"--count", "3", "--com", "641", "--imsi", "001019000000007",
                                                  "--quiet", "--request-log", log});
    ASSERT_TRUE(dtusim.ReadUntil("COM643 on", 10000)) << dtusim.Output();
    ASSERT_TRUE(dtusim.ReadUntil("\n", 1000));
    // The queries below run their pauses at a tenth: what is looked at is what each module heard.
    const platform::ScopedClockScale tenth(0.1);
    const std::string& lines = dtusim.Output();
    for (int i = 0; i < 3; ++i) {
        const std::string com = "COM" + std::to_string(641 + i);
        const std::string imsi = sim::NthImsi("001019000000007", i);
        const auto at = lines.find("dtusim: " + com + " on /dev/");
        ASSERT_NE(at, std::string::npos) << lines;
        const auto end = lines.find('\n', at);
        EXPECT_EQ(lines.substr(end - imsi.size() - 6, imsi.size() + 6), " IMSI " + imsi) << lines;
        atlink::CSerialPort port;
        EXPECT_EQ(port.QueryCimi(641 + i), imsi);
    }
    ASSERT_EQ(::kill(dtusim.Pid(), SIGTERM), 0);
    const auto end = dtusim.Wait();
    EXPECT_EQ(end.exitCode, 0) << end.err;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(testsupport::ReadFile(log + "-COM" + std::to_string(641 + i)), "AT+CIMI\\r\\n\n");
    }
    EXPECT_FALSE(fs::exists(log));
    fs::remove_all(dir);
}

TEST(DtusimProgram, AWrongImsiOrCountIsRefusedWithItsReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
        {{"--imsi", "00101"}, "dtusim: --imsi needs an IMSI of exactly 15 digits\n"},
        {{"--imsi", "00101012345678a"}, "dtusim: --imsi needs an IMSI of exactly 15 digits\n"},
        {{"--imsi"}, "dtusim: --imsi needs an IMSI of exactly 15 digits\n"},
        {{"--count", "0"}, "dtusim: --count needs a number of modules from 1 to 32\n"},
        {{"--count", "33"}, "dtusim: --count needs a number of modules from 1 to 32\n"},
        {{"--count", "x"}, "dtusim: --count needs a number of modules from 1 to 32\n"},
        {{"--com", "99999", "--count", "2"}, "dtusim: COM99999 and the 1 after it go beyond COM99999\n"},
    };
    for (const auto& [args, message] : wrong) {
        SCOPED_TRACE(args.front() + " " + (args.size() > 1 ? args[1] : ""));
        testsupport::ChildProcess dtusim(DTUSIM_EXE, args);
        const auto end = dtusim.Wait();
        EXPECT_EQ(end.exitCode, 2);
        EXPECT_EQ(end.err, message);
        EXPECT_EQ(end.out, "");
    }
    EXPECT_EQ(FindAtPortNumber(), 0);
}
