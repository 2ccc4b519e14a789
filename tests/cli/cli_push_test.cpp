// marlinq-cli push FILE and factory-reset in this process, on the scaled clock, against the
// simulator and a fake adb in the program directory: exit codes and the lines a user sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "platform/app_directory.h"
#include "platform/clock.h"
#include "platform/virtual_devices.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/adb_module.h"
#include "tests/support/cli_capture.h"
#include "tests/support/fake_adb.h"

namespace {

using marlinq::cli::Args;

using testsupport::Cli;
using testsupport::CliRun;

class CliPush : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetAppDirectoryOverride(dir.AppDir());
        dir.Write("devices.sim", platform::VirtualDeviceDirectory());
        dir.Write("push.out", testsupport::kPushKb);
    }
    std::unique_ptr<sim::DtuSimulator> Module(bool adbOn) { return testsupport::StartAdbModule(adbOn); }
    // args paced by the answer (--pace answer): the requests read until their final result line
    // instead of sleeping their fixed pauses, and the reset's wait ends once the AT port is back
    // instead of after its full 20 s. The requests, the adb calls and the log are the same, so a
    // case whose checks do not hang on those pauses may use it; the plain push keeps the fixed
    // pacing.
    static Args ByAnswer(Args args) {
        args.insert(args.begin(), {"--pace", "answer"});
        return args;
    }

    platform::ScopedClockScale m_scale{0.01};
    testsupport::FakeAdbDir dir{"cli"};
};

TEST_F(CliPush, PushesAFileAndExitsZeroOnceThePushSucceeded) {
    auto module = Module(true);
    const std::string file = dir.AppDir() + "my cfg.xml";
    std::ofstream(file) << "<system/>";
    const CliRun r = Cli(marlinq::cli::RunPushCommand, {"--timeout", "100", file});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Enable ADB to download XML file...\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ADB PUSH XML successfully!\n"), std::string::npos) << r.out;
    EXPECT_EQ(dir.Calls(),
              (std::vector<std::string>{"1 [devices]", "3 [push] [" + file + "] [/cache]", "1 [reboot]"}));
}

TEST_F(CliPush, WithJsonTheLogGoesToStandardErrorAndTheObjectSaysWhatWasPushed) {
    auto module = Module(true);
    const std::string file = dir.AppDir() + "cfg.xml";
    std::ofstream(file) << "<system/>";
    const CliRun pushed = Cli(marlinq::cli::RunPushCommand, ByAnswer({"--timeout", "100", "--json", file}));
    EXPECT_EQ(pushed.code, 0) << pushed.err;
    const auto j = nlohmann::json::parse(pushed.out);
    EXPECT_EQ(j["command"], "push");
    EXPECT_EQ(j["ok"], true);
    EXPECT_EQ(j["exit"], 0);
    EXPECT_TRUE(j["failure"].is_null());
    EXPECT_EQ(j["file"], file);
    EXPECT_EQ(j["pushed"], true);
    EXPECT_EQ(j["port"], module->Com());
    EXPECT_NE(pushed.err.find("ADB PUSH XML successfully!\n"), std::string::npos) << pushed.err;

    dir.Write("push.out", testsupport::kPushNoDevice);
    const CliRun failed = Cli(marlinq::cli::RunFactoryResetCommand, ByAnswer({"--timeout", "100", "--json"}));
    EXPECT_EQ(failed.code, 1);
    const auto f = nlohmann::json::parse(failed.out);
    EXPECT_EQ(f["command"], "factory-reset");
    EXPECT_EQ(f["pushed"], false);
    EXPECT_EQ(f["exit"], 1);
    EXPECT_FALSE(f["failure"].get<std::string>().empty());
}

TEST_F(CliPush, FactoryResetEnablesAdbResetsTheModuleAndPushesDefaultXml) {
    auto module = Module(false);
    std::ofstream(dir.AppDir() + "Default.xml") << "<system/>";
    const CliRun r = Cli(marlinq::cli::RunFactoryResetCommand, ByAnswer({"--timeout", "100"}));
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    for (const char* line : {"Restoring factory Settings...\n", "Enable ADB successfully!\n",
                             "Push XML file to cache ...\n", "Hide ADB successfully!\n"}) {
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    }
    EXPECT_FALSE(module->AdbEnabled());
}

TEST_F(CliPush, AFileWhoseValuesTheModuleCannotTakeIsRefusedAndAdbNeverRuns) {
    auto module = Module(true);
    const std::string file = dir.AppDir() + "hostile.xml";
    std::ofstream(file) << "<system><DebugCfg><LogLevel>999999999999</LogLevel></DebugCfg></system>";
    const CliRun r = Cli(marlinq::cli::RunPushCommand, {"--timeout", "100", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Push refused: LogLevel must be one of 1, 2!\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "push: the XML file was not pushed to the module\n");
    EXPECT_TRUE(dir.Calls().empty());
}

TEST_F(CliPush, AFailedPushAMissingFileOrABadCommandLineIsNoSuccess) {
    auto module = Module(true);
    dir.Write("push.out", testsupport::kPushNoDevice);
    const std::string file = dir.AppDir() + "a.xml";
    std::ofstream(file) << "<system/>";
    const CliRun failed = Cli(marlinq::cli::RunPushCommand, ByAnswer({"--timeout", "100", file}));
    EXPECT_EQ(failed.code, 1);
    EXPECT_NE(failed.out.find("ADB PUSH XML failed!\n"), std::string::npos) << failed.out;

    const CliRun missing = Cli(marlinq::cli::RunFactoryResetCommand, ByAnswer({"--timeout", "100"}));
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.out.find("The default file was not found: " + dir.AppDir() + "Default.xml\n"),
              std::string::npos)
        << missing.out;

    EXPECT_EQ(Cli(marlinq::cli::RunPushCommand, {}).code, 2);
    EXPECT_EQ(Cli(marlinq::cli::RunPushCommand, {"a.xml", "b.xml"}).code, 2);
    EXPECT_EQ(Cli(marlinq::cli::RunFactoryResetCommand, {"extra"}).code, 2);
}

// adb runs in its own folder: a relative FILE is the caller's, and reaches adb as an absolute path,
// so that neither a file of the same name beside adb nor a name that starts with "-" is taken
// for it.
TEST_F(CliPush, ARelativeFileIsTheCallersAndReachesAdbAsAnAbsolutePath) {
    auto module = Module(true);
    dir.Write("plain.xml", "<decoy/>");
    const std::filesystem::path work = std::filesystem::path(dir.AppDir()) / "work";
    std::filesystem::create_directories(work);
    std::ofstream(work / "plain.xml") << "<system/>";
    std::ofstream(work / "-f.xml") << "<system/>";
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(work);
    const CliRun plain = Cli(marlinq::cli::RunPushCommand, ByAnswer({"--timeout", "100", "plain.xml"}));
    const CliRun dash = Cli(marlinq::cli::RunPushCommand, ByAnswer({"--timeout", "100", "-f.xml"}));
    std::filesystem::current_path(before);
    EXPECT_EQ(plain.code, 0) << plain.out << plain.err;
    EXPECT_EQ(dash.code, 0) << dash.out << dash.err;
    const std::vector<std::string> calls = dir.Calls();
    for (const std::string name : {"plain.xml", "-f.xml"}) {
        EXPECT_NE(std::find(calls.begin(), calls.end(), "3 [push] [" + (work / name).string() + "] [/cache]"),
                  calls.end())
            << name;
    }
}

// A file that is not there is refused before the window opens: not even the version read of the
// scan reaches the module.
TEST_F(CliPush, AMissingFileIsNamedAndNothingIsDoneToTheModule) {
    auto module = Module(true);
    const std::string missing = dir.AppDir() + "no-such.xml";
    const CliRun r = Cli(marlinq::cli::RunPushCommand, {"--timeout", "100", missing});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "cannot push " + missing + ": no such file\n");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(module->Requests().empty());
    EXPECT_TRUE(dir.Calls().empty());
    const CliRun folder = Cli(marlinq::cli::RunPushCommand, {"--timeout", "100", dir.AppDir()});
    EXPECT_EQ(folder.code, 1);
    EXPECT_EQ(folder.err, "cannot push " + dir.AppDir() + ": not a regular file\n");
    EXPECT_TRUE(module->Requests().empty());
}

}  // namespace
