// marlinq-cli from a program directory of the test's own (a copy of the program as its own
// process, or the commands in this process on the scaled clock with that directory as theirs),
// with files that cannot be read: an unreadable Config.xml is left alone by the commands and kept
// aside by run's exit save, and a FIFO given as input is refused at once.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>

#include "platform/app_directory.h"
#include "platform/clock.h"
#include "tests/support/cli_capture.h"
#include "tests/support/file_nodes.h"
#include "tests/support/read_file.h"
#include "tests/support/run_process.h"

namespace {

namespace fs = std::filesystem;

class CliFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("marlinq-cli-files-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        // The program keeps Config.xml beside itself: a copy makes that folder the test's.
        m_cli = (m_dir / "marlinq-cli").string();
        fs::copy_file(MARLINQ_CLI_EXE, m_cli);
    }
    void TearDown() override {
        platform::SetAppDirectoryOverride("");
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    // The command in this process, with the copy's folder as the program directory.
    testsupport::ProcessResult InProcess(const std::vector<std::string>& args) const {
        platform::ScopedClockScale scale(0.01);
        platform::SetAppDirectoryOverride(m_dir.string() + "/");
        const testsupport::CliRun run = testsupport::RunCli(args);
        platform::SetAppDirectoryOverride("");
        return {run.code, 0, run.out, run.err};
    }

    std::vector<fs::path> KeptCopies() const {
        std::vector<fs::path> kept;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            if (entry.path().filename().string().rfind("Config.xml.unreadable-", 0) == 0) {
                kept.push_back(entry.path());
            }
        }
        return kept;
    }

    fs::path m_dir;
    std::string m_cli;
};

TEST_F(CliFiles, AnUnreadableConfigXmlIsLeftAloneByCommandsAndKeptAsideByRunsExitSave) {
    const std::string config = (m_dir / "Config.xml").string();
    const std::string bytes = "<system><NetworkCfg><APN>the user's apn\xFF</APN></NetworkCfg></system>\n";
    const std::string reason = "not UTF-8 at byte " + std::to_string(bytes.find('\xFF'));
    std::ofstream(config, std::ios::binary | std::ios::trunc) << bytes;

    // A command that borrows the window says it cannot load the file and leaves it as it is.
    const auto scan = InProcess({"scan", "--timeout", "1"});
    EXPECT_EQ(scan.exitCode, 1) << scan.err;
    EXPECT_NE(scan.err.find("cannot load " + config + ": " + reason + "\n"), std::string::npos) << scan.err;
    EXPECT_NE(scan.out.find("导入XML文件失败!\ncannot load " + config + ": " + reason + "\n"),
              std::string::npos)
        << scan.out;
    EXPECT_TRUE(KeptCopies().empty());
    EXPECT_EQ(testsupport::ReadFile(config), bytes);

    // run saves on exit: the file is first renamed aside, then the window's values are written.
    const auto run = testsupport::RunProcess(m_cli, {"run"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto kept = KeptCopies();
    ASSERT_EQ(kept.size(), 1u) << run.out << run.err;
    EXPECT_TRUE(
        std::regex_match(kept[0].filename().string(), std::regex(R"(Config\.xml\.unreadable-\d{8}T\d{6}Z)")));
    EXPECT_EQ(testsupport::ReadFile(kept[0]), bytes);
    // Standard error says plainly what happened, and so does the log on standard output.
    EXPECT_NE(run.err.find("cannot load " + config + ": " + reason + "\n"), std::string::npos) << run.err;
    EXPECT_NE(
        run.err.find(config + " could not be loaded at start; it is kept as " + kept[0].string() + "\n"),
        std::string::npos)
        << run.err;
    // The exit save wrote the window's values, as a sound file.
    const std::string written = testsupport::ReadFile(config);
    EXPECT_NE(written.find("<APN></APN>"), std::string::npos) << written;
}

TEST_F(CliFiles, AFifoGivenAsInputIsRefusedAtOnce) {
    const std::string fifo = (m_dir / "params.xml").string();
    ASSERT_TRUE(testsupport::MakeFifo(fifo));
    auto convert = std::async(std::launch::async, [&] {
        return InProcess({"convert", fifo, "--out", (m_dir / "out.xml").string()});
    });
    if (convert.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the command blocked on the FIFO";
        std::ofstream(fifo) << "";  // a writer lets the blocked reader go on
    }
    const auto r = convert.get();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "cannot load " + fifo + ": it is a FIFO, not a regular file\n");
    EXPECT_NE(r.out.find("cannot load " + fifo + ": it is a FIFO, not a regular file\n"), std::string::npos)
        << r.out;
    EXPECT_FALSE(fs::exists(m_dir / "out.xml"));
    EXPECT_EQ(testsupport::TypeAt(fifo), S_IFIFO);
}

}  // namespace
