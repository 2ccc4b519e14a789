// Which files marlinq-cli writes, as its own process from a program folder made here: the
// commands that borrow the window (get, download, convert, send) leave the folder's Config.xml as
// it was, `run` saves it on exit as the window does; and saves of several processes through the
// scratch container of one current directory never mix.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/read_file.h"
#include "tests/support/run_process.h"
#include "tests/support/sim_fixture.h"

namespace {

namespace fs = std::filesystem;

using testsupport::ReadFile;

// Config.xml as a person might have written it: CR LF line ends and a comment. The window loads
// it, but never writes it so: any save shows. Its beat text is hex, as the window's hex box wants
// for a download.
std::string HandWrittenConfig() {
    std::string text = ReadFile(MARLINQ_DEFAULT_XML);
    const std::string beat = "<BeatText>ping</BeatText>";
    if (text.find(beat) != std::string::npos) {
        text.replace(text.find(beat), beat.size(), "<BeatText>70696E67</BeatText>");
    }
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const std::size_t root = crlf.find("<system>");
    return crlf.insert(root, "<!-- kept as the operator wrote it -->\r\n");
}

class FilesWritten : public testsupport::SimulatorTest {
  protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        // The programs run their pauses at a fiftieth, and the commands that talk to the module are
        // paced by its answers: which files they write does not depend on how long they wait for
        // the module. The answer ceiling stays at 100 ms, well above what a module of this
        // process takes to answer on a busy machine.
        ::setenv("MARLINQ_CLOCK_SCALE", "0.02", 1);
        m_root = fs::temp_directory_path() / ("marlinq-written-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "app");
        fs::create_directories(m_root / "work");
        fs::copy_file(MARLINQ_CLI_PATH, m_root / "app" / "marlinq-cli");
        fs::copy_file(MARLINQ_DEFAULT_XML, m_root / "work" / "in.xml");
        std::ofstream(m_root / "app" / "Config.xml", std::ios::binary) << HandWrittenConfig();
    }
    void TearDown() override {
        fs::remove_all(m_root);
        SimulatorTest::TearDown();
    }
    // The copy of marlinq-cli, started in the folder work; its standard input is left open.
    std::unique_ptr<testsupport::ChildProcess> Start(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"-c", "cd \"$1\" && shift && exec \"$@\"", "sh",
                                        (m_root / "work").string(),
                                        (m_root / "app" / "marlinq-cli").string()};
        all.insert(all.end(), args.begin(), args.end());
        return std::make_unique<testsupport::ChildProcess>("/bin/sh", all);
    }
    testsupport::ProcessResult Run(const std::vector<std::string>& args) {
        auto child = Start(args);
        child->CloseInput();
        return child->Wait();
    }
    std::string Config() const { return ReadFile(m_root / "app" / "Config.xml"); }

    fs::path m_root;
};

TEST_F(FilesWritten, CommandsThatBorrowTheWindowLeaveConfigXmlAloneAndRunSavesIt) {
    const std::string before = Config();
    const std::vector<std::vector<std::string>> commands = {
        {"get", "--timeout", "60", "--pace", "answer"},
        {"download", "--timeout", "60", "--pace", "answer", "--set", "132:1045=203.0.113.20"},
        {"convert", "in.xml", "--out", "out.xml"},
        {"send", "--timeout", "60", "--pace", "answer", "AT+CSQ"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.front());
        const auto run = Run(command);
        EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_EQ(Config(), before);
    }
    EXPECT_TRUE(fs::exists(m_root / "work" / "out.xml"));
    EXPECT_TRUE(fs::exists(m_root / "app" / "AtLog.ini")) << "the traffic log beside the program";

    // run is the window: closing it (here the end of its input) saves the parameters it shows.
    const auto run = Run({"run"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string after = Config();
    EXPECT_NE(after, before);
    EXPECT_EQ(after.find('\r'), std::string::npos) << "written as the window writes it";
    EXPECT_NE(after.find("<system>\n"), std::string::npos) << after;
}

// Eight converts at once in one current directory, each from its own file: every output is the one
// the same convert writes alone, though all go through the one CompoundFile.cmp.
TEST_F(FilesWritten, SimultaneousSavesInOneDirectoryEachGetTheirOwnDocument) {
    constexpr int kRuns = 8;
    const std::string source = ReadFile(MARLINQ_DEFAULT_XML);
    const std::string port = "<Port>5000</Port>";
    ASSERT_NE(source.find(port), std::string::npos);
    for (int i = 0; i < kRuns; ++i) {
        std::string text = source;
        text.replace(text.find(port), port.size(), "<Port>" + std::to_string(6000 + i) + "</Port>");
        std::ofstream(m_root / "work" / ("in" + std::to_string(i) + ".xml"), std::ios::binary) << text;
    }
    auto name = [](const char* stem, int i) { return std::string(stem) + std::to_string(i) + ".xml"; };
    std::set<std::string> distinct;
    for (int i = 0; i < kRuns; ++i) {
        const auto alone = Run({"convert", name("in", i), "--out", name("alone", i)});
        ASSERT_EQ(alone.exitCode, 0) << alone.err;
        distinct.insert(ReadFile(m_root / "work" / name("alone", i)));
    }
    ASSERT_EQ(distinct.size(), static_cast<std::size_t>(kRuns)) << "each input makes its own document";

    // From a directory without a container: the first saves also race to make it.
    fs::remove(m_root / "work" / "CompoundFile.cmp");
    std::vector<std::unique_ptr<testsupport::ChildProcess>> runs;
    for (int i = 0; i < kRuns; ++i) {
        runs.push_back(Start({"convert", name("in", i), "--out", name("together", i)}));
        runs.back()->CloseInput();
    }
    for (int i = 0; i < kRuns; ++i) {
        SCOPED_TRACE(i);
        const auto end = runs[static_cast<std::size_t>(i)]->Wait();
        EXPECT_EQ(end.exitCode, 0) << end.err;
        EXPECT_EQ(ReadFile(m_root / "work" / name("together", i)),
                  ReadFile(m_root / "work" / name("alone", i)));
    }
    EXPECT_TRUE(fs::exists(m_root / "work" / "CompoundFile.cmp"));
}

}  // namespace
