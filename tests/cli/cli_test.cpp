// marlinq-cli as a user runs it: a script on standard input, the log on standard output.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/console_host.h"
#include "cli/console_view.h"
#include "cli/script.h"
#include "platform/clock.h"
#include "tests/support/run_process.h"
#include "ui/resource.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int code = -1;
    std::string out;
};

CliRun RunCli(const std::vector<std::string>& args, const std::string& input) {
    const fs::path dir = fs::temp_directory_path() / ("marlinq-cli-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "in") << input;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, (dir / "in").c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (dir / "out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> all = {MARLINQ_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    CliRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(dir / "out");
    run.out.assign(std::istreambuf_iterator<char>(in), {});
    fs::remove_all(dir);
    return run;
}

// The one run as its own process: arguments, exit codes, and a script on standard input that
// drives the window at the real clock.
TEST(MarlinqCli, ArgumentsScriptAndExitCodes) {
    EXPECT_EQ(RunCli({"nosuchcommand"}, "").code, 2);
    EXPECT_EQ(RunCli({"run", "extra"}, "").code, 2);
    EXPECT_EQ(RunCli({"send"}, "").code, 2);
    EXPECT_EQ(RunCli({"send", "--port", "x", "AT"}, "").code, 2);
    EXPECT_EQ(RunCli({"send", "AT\r\nAT+CRESET"}, "").code, 2);  // one command per line, never two
    EXPECT_EQ(RunCli({"scan", "--timeout", "0"}, "").code, 2);
    EXPECT_EQ(RunCli({"csq", "extra"}, "").code, 2);

    // A line it cannot run makes the exit code 1; the other lines still run.
    const CliRun r = RunCli({"run"},
                            "frobnicate 12\ntab 3\nstate 1060\npage 2 state 1070\ntype 1067 AT+CSQ\n"
                            "focus 1067\nenter\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Scanning equipments...\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("state 1060 enabled=1 visible=1 checked=0 sel=3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("text=443\n"), std::string::npos) << r.out;
    // The console's lines in order; the scanner's own line may land between them.
    const std::size_t csq = r.out.find("AT+CSQ\n");
    ASSERT_NE(csq, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("No scan AT port! \n", csq), std::string::npos) << r.out;
    // End of input closes the window, which saves the configuration as any close does.
    EXPECT_TRUE(r.out.ends_with("生成XML文件成功!\n")) << r.out;
    EXPECT_EQ(r.out.find('\r'), std::string::npos) << "console lines end in LF";
}

// The script lines of `run`, in this process on the scaled clock.
class ScriptLines : public ::testing::Test {
  protected:
    marlinq::cli::ScriptResult Line(const std::string& line) {
        return marlinq::cli::RunScriptLine(host, line, script, errors);
    }
    platform::ScopedClockScale scale{0.01};
    std::ostringstream log;
    std::ostringstream script;
    std::ostringstream errors;
    marlinq::cli::CConsoleHost host{log, marlinq::cli::ConfigAtExit::Saved};  // as `run` makes it
};

TEST_F(ScriptLines, DriveTheWindowAndReportState) {
    using marlinq::cli::ScriptResult;
    ASSERT_TRUE(host.Start());
    EXPECT_EQ(Line("tab 3"), ScriptResult::Ok);
    EXPECT_EQ(Line("state 1060"), ScriptResult::Ok);
    EXPECT_EQ(Line("page 2 state 1070"), ScriptResult::Ok);
    EXPECT_EQ(Line("# a comment"), ScriptResult::Ok);
    EXPECT_EQ(Line("type 1067 AT+CSQ"), ScriptResult::Ok);
    EXPECT_EQ(Line("focus 1067"), ScriptResult::Ok);
    EXPECT_EQ(Line("enter"), ScriptResult::Ok);
    EXPECT_EQ(Line("frobnicate 12"), ScriptResult::Error);
    EXPECT_EQ(Line("page x click 1"), ScriptResult::Error);
    EXPECT_EQ(Line("close"), ScriptResult::Close);
    EXPECT_EQ(host.Close(), 0);
    EXPECT_EQ(script.str(),
              "state 1060 enabled=1 visible=1 checked=0 sel=3 text=\n"
              "state 1070 enabled=1 visible=1 checked=0 sel=-1 text=443\n");
    EXPECT_EQ(errors.str(), "cannot run: frobnicate 12\npage: expected an index and a command\n");
    // The console's lines in order; the scanner's own line may land between them.
    const std::size_t csq = log.str().find("AT+CSQ\n");
    ASSERT_NE(csq, std::string::npos) << log.str();
    EXPECT_NE(log.str().find("No scan AT port! \n", csq), std::string::npos) << log.str();
    EXPECT_TRUE(log.str().ends_with("生成XML文件成功!\n")) << log.str();
}

TEST_F(ScriptLines, EscapeEndsTheWindow) {
    ASSERT_TRUE(host.Start());
    EXPECT_EQ(Line("escape"), marlinq::cli::ScriptResult::Ok);
    EXPECT_EQ(host.Wait(), 0);
    EXPECT_TRUE(host.Ended());
    EXPECT_TRUE(log.str().ends_with("生成XML文件成功!\n")) << log.str();
}

TEST(MarlinqCli, TerminationSignalsCloseTheWindowSoTheExitPathRuns) {
    // Each signal goes to a copy of the program in a directory of its own, so that the exit save
    // writes the Config.xml beside that copy: the file is the proof that the exit path ran. The
    // three copies run side by side, each waiting out its own start.
    const int signals[] = {SIGTERM, SIGINT, SIGHUP};
    std::vector<fs::path> dirs;
    std::vector<std::unique_ptr<testsupport::ChildProcess>> runs;
    for (const int signal : signals) {
        const fs::path dir = fs::temp_directory_path() /
                             ("marlinq-term-" + std::to_string(::getpid()) + "-" + std::to_string(signal));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy_file(MARLINQ_CLI_PATH, dir / "marlinq-cli");
        dirs.push_back(dir);
        // Its input stays open: it waits.
        runs.push_back(std::make_unique<testsupport::ChildProcess>((dir / "marlinq-cli").string(),
                                                                   std::vector<std::string>{"run"}));
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(signals[i]);
        ASSERT_TRUE(runs[i]->ReadUntil("Scanning equipments...\n", 20000));
        ASSERT_EQ(::kill(runs[i]->Pid(), signals[i]), 0);
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(signals[i]);
        const auto end = runs[i]->Wait();
        EXPECT_EQ(end.signal, 0) << "ended by the signal instead of closing its window";
        EXPECT_EQ(end.exitCode, 0);
        std::ifstream saved(dirs[i] / "Config.xml");
        std::stringstream text;
        text << saved.rdbuf();
        EXPECT_NE(text.str().find("<system>"), std::string::npos) << end.out;
    }
    runs.clear();
    for (const fs::path& dir : dirs) {
        fs::remove_all(dir);
    }
}

TEST(ConsoleView, PrintsOnlyCompleteLinesOfTheMainWindowLog) {
    std::ostringstream out;
    fw::HWND main = 0;  // not known yet
    marlinq::cli::CConsoleView view(
        out, [&] { return main; }, [] { return false; });
    fw::ControlChange early;
    early.id = marlinq::IDC_EDIT_LOG;
    early.what = fw::ControlChange::What::TextAppended;
    early.text = "before the window\r\n";
    view.OnControlChanged(early);  // a dialog of handle 0 is none
    main = 5;
    fw::ControlChange c;
    c.hwnd = 5;
    c.id = marlinq::IDC_EDIT_LOG;
    c.what = fw::ControlChange::What::TextAppended;
    c.text = "one\r\ntw";
    view.OnControlChanged(c);
    EXPECT_EQ(out.str(), "one\n");
    c.text = "o\r\n\r\n";
    view.OnControlChanged(c);
    c.hwnd = 6;  // another dialog's edit with the same id
    c.text = "other\r\n";
    view.OnControlChanged(c);
    EXPECT_EQ(out.str(), "one\ntwo\n\n");
}

}  // namespace
