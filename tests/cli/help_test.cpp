// marlinq-cli's terminal conventions as a user meets them, as its own process: the usage on
// --help, -h and `help` (standard output, exit 0), without a command (standard error, exit 2), a
// command's usage with its options explained, and the version, which the About box shows too.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cli/command_help.h"
#include "cli/commands.h"
#include "tests/support/run_process.h"
#include "ui/templates.h"

namespace {

using testsupport::ProcessResult;

ProcessResult Cli(const std::vector<std::string>& args) {
    return testsupport::RunProcess(MARLINQ_CLI_PATH, args);
}

TEST(Usage, HelpWordsPrintTheCommandsOnStandardOutputAndNoCommandIsAUsageError) {
    const ProcessResult help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: marlinq-cli COMMAND [arguments]\n", 0), 0u) << help.out;
    for (const auto& command : marlinq::cli::CommandList()) {
        EXPECT_NE(help.out.find(std::string("\n  ") + command.name + " "), std::string::npos) << command.name;
    }
    for (const char* same : {"-h", "help"}) {
        const ProcessResult other = Cli({same});
        EXPECT_EQ(other.exitCode, 0) << same;
        EXPECT_EQ(other.out, help.out) << same;
    }

    // Without a command nothing runs: the usage goes to standard error.
    const ProcessResult none = Cli({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, help.out);
}

TEST(Usage, ACommandsHelpExplainsItsOptionsAndIsTheSameEveryWayItIsAsked) {
    const ProcessResult help = Cli({"help", "download"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: marlinq-cli download [FILE] ", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("\noptions:\n"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("  --timeout S "), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("  --page PAGE "), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("  --verify "), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("  --port N "), std::string::npos) << help.out;
    EXPECT_EQ(help.out.find("--out"), std::string::npos) << "only download's own options";
    // --help anywhere among the arguments: the help, and nothing is run (no module is waited for).
    for (const std::vector<std::string>& asked : {std::vector<std::string>{"download", "--help"},
                                                  {"download", "-h"},
                                                  {"download", "--timeout", "5", "--help"}}) {
        const ProcessResult other = Cli(asked);
        EXPECT_EQ(other.exitCode, 0);
        EXPECT_EQ(other.out, help.out);
    }
    const ProcessResult send = Cli({"send", "--help"});
    EXPECT_NE(send.out.find("  --port N "), std::string::npos) << send.out;
    EXPECT_NE(send.out.find("  --json "), std::string::npos) << send.out;
}

TEST(Usage, AnUnknownCommandIsNamedOnStandardErrorWithExitTwo) {
    const ProcessResult help = Cli({"help", "gett"});
    EXPECT_EQ(help.exitCode, 2);
    EXPECT_EQ(help.out, "");
    EXPECT_EQ(help.err, "marlinq-cli help: unknown command 'gett'; see marlinq-cli --help\n");
    const ProcessResult two = Cli({"help", "get", "download"});
    EXPECT_EQ(two.exitCode, 2);
    EXPECT_EQ(two.out, "");
    const ProcessResult run = Cli({"gett", "--help"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "marlinq-cli: unknown command 'gett'; see marlinq-cli --help\n");
}

// Each option in a command's usage line is explained by its help, and the help explains no option
// that the usage line does not name.
TEST(Usage, EveryCommandHasHelpForExactlyTheOptionsItsUsageNames) {
    const std::regex option("--[a-z]+");
    for (const auto& command : marlinq::cli::CommandList()) {
        SCOPED_TRACE(command.name);
        const marlinq::cli::CommandHelp* help = marlinq::cli::FindCommandHelp(command.name);
        ASSERT_NE(help, nullptr);
        std::set<std::string> named;
        const std::string usage = command.usage;
        for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator();
             ++it) {
            named.insert(it->str());
        }
        std::set<std::string> explained;
        for (const char* name : help->options) {
            ASSERT_NE(marlinq::cli::FindOptionHelp(name), nullptr) << name;
            explained.insert(name);
        }
        EXPECT_EQ(named, explained);
    }
}

TEST(Version, TheCommandLineAndTheAboutBoxShowTheBuildsOneVersion) {
    const ProcessResult version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("marlinq-cli " MARLINQ_VERSION "\n", 0), 0u) << version.out;
    const fw::DialogTemplate& about = marlinq::AboutTemplate();
    bool shown = false;
    for (const auto& control : about.controls) {
        shown = shown || control.caption == "Marlinq V" MARLINQ_VERSION;
    }
    EXPECT_TRUE(shown) << "the About box names the same version";
    EXPECT_EQ(marlinq::MainDialogTemplate().caption, "Marlinq_Eng_V" MARLINQ_VERSION);
}

}  // namespace
