// `marlinq-cli completion bash` sourced into a real bash: what its completion function offers for
// a few command lines, as bash calls it (COMP_WORDS split as bash splits them, "=" a word).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_process.h"

namespace {

namespace fs = std::filesystem;

using Words = std::vector<std::string>;

class Completion : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("marlinq-completion-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "work");
        const auto script = testsupport::RunProcess(MARLINQ_CLI_PATH, {"completion", "bash"});
        ASSERT_EQ(script.exitCode, 0) << script.err;
        std::ofstream(m_dir / "marlinq-cli.bash") << script.out;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // What the function puts in COMPREPLY for words, completing the last one, in the folder work.
    Words Offered(const Words& words) {
        std::vector<std::string> args = {
            "-c",
            "source \"$1\" || exit 9; cd \"$2\" || exit 9; shift 2; COMP_WORDS=(\"$@\"); "
            "COMP_CWORD=$(($# - 1)); COMP_LINE=\"$*\"; COMP_POINT=${#COMP_LINE}; _marlinq_cli; "
            "printf '%s\\n' \"${COMPREPLY[@]}\"",
            "bash", (m_dir / "marlinq-cli.bash").string(), (m_dir / "work").string()};
        args.insert(args.end(), words.begin(), words.end());
        const auto run = testsupport::RunProcess("/bin/bash", args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        Words offered;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty()) {
                offered.push_back(line);
            }
        }
        std::sort(offered.begin(), offered.end());
        return offered;
    }

    fs::path m_dir;
};

TEST_F(Completion, TheScriptRegistersItsFunctionForMarlinqCli) {
    const auto run = testsupport::RunProcess("/bin/bash", {"-c", "source \"$1\" && complete -p marlinq-cli",
                                                           "bash", (m_dir / "marlinq-cli.bash").string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "complete -F _marlinq_cli marlinq-cli\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(Completion, CommandsAndEachCommandsOwnOptions) {
    EXPECT_EQ(Offered({"marlinq-cli", "dow"}), Words{"download"});
    EXPECT_EQ(Offered({"marlinq-cli", "c"}), (Words{"completion", "convert", "csq"}));
    EXPECT_EQ(Offered({"marlinq-cli", "--v"}), Words{"--version"});
    EXPECT_EQ(Offered({"marlinq-cli", "csq", ""}),
              (Words{"--help", "--json", "--pace", "--port", "--timeout"}));
    EXPECT_EQ(Offered({"marlinq-cli", "download", "--"}),
              (Words{"--help", "--json", "--pace", "--page", "--port", "--set", "--timeout", "--verify"}));
    EXPECT_EQ(Offered({"marlinq-cli", "send", "--p"}), (Words{"--pace", "--port"}));
    EXPECT_EQ(Offered({"marlinq-cli", "get", "--pace", ""}), (Words{"answer", "fixed"}));
    EXPECT_TRUE(Offered({"marlinq-cli", "scan", "--timeout", ""}).empty()) << "a number is the user's";
    EXPECT_EQ(Offered({"marlinq-cli", "download", "--page", "m"}), (Words{"modbus", "mqtt"}));
    EXPECT_EQ(Offered({"marlinq-cli", "help", "re"}), (Words{"records", "reset"}));
    EXPECT_EQ(Offered({"marlinq-cli", "completion", ""}), Words{"bash"});
}

TEST_F(Completion, SettingsCompleteToParameterNamesWithTheirEqualsSign) {
    const Words tcp = Offered({"marlinq-cli", "download", "--set", "tcp."});
    EXPECT_NE(std::find(tcp.begin(), tcp.end(), "tcp.Port="), tcp.end());
    EXPECT_NE(std::find(tcp.begin(), tcp.end(), "tcp.IPAddr="), tcp.end());
    for (const auto& name : tcp) {
        EXPECT_EQ(name.rfind("tcp.", 0), 0u) << name;
        EXPECT_EQ(name.back(), '=') << name;
    }
    EXPECT_EQ(Offered({"marlinq-cli", "get", "--set", "main.Bau"}), Words{"main.BaudRate="});
    // bash splits NAME=VALUE at "=": the value is the user's; the next setting is a name again.
    EXPECT_TRUE(Offered({"marlinq-cli", "download", "--set", "tcp.Port", "=", ""}).empty());
    EXPECT_TRUE(Offered({"marlinq-cli", "download", "--set", "tcp.Port", "=", "60"}).empty());
    EXPECT_EQ(Offered({"marlinq-cli", "download", "--set", "tcp.Port", "=", "6001", "main.Bau"}),
              Words{"main.BaudRate="});
    // What --set cannot change is not offered.
    EXPECT_TRUE(Offered({"marlinq-cli", "download", "--set", "main.AppV"}).empty());
    // After another option, options again.
    EXPECT_EQ(Offered({"marlinq-cli", "download", "--set", "tcp.Port", "=", "1", "--ver"}),
              Words{"--verify"});
}

TEST_F(Completion, FilesWhereAFileIsTaken) {
    std::ofstream(m_dir / "work" / "params.xml") << "<system/>";
    std::ofstream(m_dir / "work" / "other.txt") << "";
    EXPECT_EQ(Offered({"marlinq-cli", "push", "pa"}), Words{"params.xml"});
    EXPECT_EQ(Offered({"marlinq-cli", "convert", "params.xml", "--out", "o"}), Words{"other.txt"});
    EXPECT_EQ(Offered({"marlinq-cli", "download", "p"}), Words{"params.xml"});
    EXPECT_TRUE(Offered({"marlinq-cli", "csq", "p"}).empty()) << "csq takes no file";
}

}  // namespace
