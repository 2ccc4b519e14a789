// A Config.xml that cannot be loaded when the window opens is kept: the log and standard error
// say why, and before the exit save writes the window's values it is renamed aside. Refused
// files name themselves and their reason in the log; a traffic log that is not a file is said.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "dialog_harness.h"
#include "platform/app_directory.h"
#include "tests/support/file_nodes.h"
#include "tests/support/read_file.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

namespace fs = std::filesystem;

std::string ProgramFile(const std::string& name) {
    return platform::GetAppDirectory() + name;
}

// The window with a given Config.xml, opened, edited and closed; what it said on the way.
struct WindowRun {
    std::string log;
    std::string err;
    std::vector<FakeUiServices::Box> boxes;
};

WindowRun OpenEditAndClose(const std::string& typedApn) {
    WindowRun run;
    ::testing::internal::CaptureStderr();
    {
        FakeUiServices ui;
        DialogHarness<> h;
        h.Thread().SetServices(&ui);
        h.On([&](CMarlinqDlg& d) {
            d.MainControls().SetWindowText(IDC_EDIT_APN, typedApn);
            return 0;
        });
        EXPECT_TRUE(h.Close());
        std::lock_guard lock(h.events.mutex);
        for (const auto& c : h.events.changes) {
            if (c.id == IDC_EDIT_LOG && c.what == fw::ControlChange::What::TextAppended) {
                run.log += c.text;
            }
        }
        run.boxes = ui.Boxes();
    }
    run.err = ::testing::internal::GetCapturedStderr();
    return run;
}

// The copies set aside in the program directory.
std::vector<fs::path> KeptCopies() {
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(platform::GetAppDirectory())) {
        if (entry.path().filename().string().rfind("Config.xml.unreadable-", 0) == 0) {
            kept.push_back(entry.path());
        }
    }
    return kept;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(UnreadableConfig, AConfigXmlThatCannotBeLoadedIsKeptAsideAndTheExitSaveWritesTheWindow) {
    std::string deep;
    for (int i = 0; i < 65; ++i) {
        deep += "<a>";
    }
    for (int i = 0; i < 65; ++i) {
        deep += "</a>";
    }
    const std::string sound =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system><NetworkCfg><APN>mine</APN>";
    struct Case {
        const char* what;
        std::string bytes;
        const char* systemLine;
        const char* reason;
    };
    const Case cases[] = {
        {"a byte that is not UTF-8", sound + "<Username>\xE9</Username></NetworkCfg></system>\n",
         "导入XML文件失败!", "not UTF-8 at byte 84"},
        {"a truncated file", sound, "导入XML文件失败!", "not well-formed XML at byte"},
        {"65 levels", "<system>" + deep.substr(3, deep.size() - 7) + "</system>", "导入XML文件失败!",
         "elements nested deeper than 64 levels"},
        {"1.1 MB", sound + "</NetworkCfg>" + std::string(1100 * 1024, ' ') + "</system>", "导入XML文件失败!",
         "larger than 1048576 bytes"},
        {"another root", "<config><NetworkCfg><APN>mine</APN></NetworkCfg></config>", "无效的XML文件!",
         "the root element is <config>, not <system>"},
    };
    const std::string config = ProgramFile("Config.xml");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& old : KeptCopies()) {
            fs::remove(old);
        }
        std::ofstream(config, std::ios::binary | std::ios::trunc) << c.bytes;
        const WindowRun run = OpenEditAndClose("typed in the window");
        const std::string cannotLoad = "cannot load " + config + ": " + c.reason;
        // The log: the system's message, which file and why, and that it is kept.
        const auto lines = LogLines(run.log);
        const auto system = std::find(lines.begin(), lines.end(), c.systemLine);
        ASSERT_NE(system, lines.end()) << run.log;
        ASSERT_NE(system + 1, lines.end());
        EXPECT_EQ((system + 1)->rfind(cannotLoad, 0), 0u) << *(system + 1);
        EXPECT_TRUE(
            Contains(run.log, config + " is kept: before the parameters are saved at exit it is renamed to "
                                       "Config.xml.unreadable-<UTC time>"))
            << run.log;
        // Standard error says the same, and where the copy went.
        EXPECT_TRUE(Contains(run.err, cannotLoad)) << run.err;
        const auto kept = KeptCopies();
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_TRUE(std::regex_match(kept[0].filename().string(),
                                     std::regex(R"(Config\.xml\.unreadable-\d{8}T\d{6}Z)")))
            << kept[0];
        const std::string keptLine =
            config + " could not be loaded at start; it is kept as " + kept[0].string();
        EXPECT_TRUE(Contains(run.err, keptLine)) << run.err;
        EXPECT_TRUE(Contains(run.log, keptLine)) << run.log;
        // The copy holds the file byte for byte; Config.xml holds what the window showed.
        EXPECT_EQ(testsupport::ReadFile(kept[0]), c.bytes);
        const std::string written = testsupport::ReadFile(config);
        EXPECT_TRUE(Contains(written, "<APN>typed in the window</APN>")) << written;
        EXPECT_EQ(CountLines(run.log, "生成XML文件成功!"), 1);
    }
    // The file it wrote is sound: the next run loads it and sets nothing aside.
    for (const auto& old : KeptCopies()) {
        fs::remove(old);
    }
    const WindowRun again = OpenEditAndClose("second run");
    EXPECT_TRUE(KeptCopies().empty());
    EXPECT_EQ(again.err, "");
    EXPECT_FALSE(Contains(again.log, "cannot load"));
    EXPECT_TRUE(Contains(testsupport::ReadFile(config), "<APN>second run</APN>"));
}

TEST(UnreadableConfig, AFifoAsConfigXmlNeitherBlocksTheWindowNorIsRenamed) {
    const std::string config = ProgramFile("Config.xml");
    ASSERT_TRUE(testsupport::MakeFifo(config));
    const WindowRun run = OpenEditAndClose("typed");
    EXPECT_TRUE(Contains(run.log, "cannot load " + config + ": it is a FIFO, not a regular file")) << run.log;
    EXPECT_TRUE(Contains(run.err, "cannot load " + config + ": it is a FIFO, not a regular file"));
    // No reader at exit: the save fails at once and says why; the FIFO stays.
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_TRUE(Contains(run.boxes[0].text, config)) << run.boxes[0].text;
    EXPECT_TRUE(Contains(run.boxes[0].text, "no program reads from it")) << run.boxes[0].text;
    EXPECT_EQ(testsupport::TypeAt(config), S_IFIFO);
    EXPECT_TRUE(KeptCopies().empty());
}

TEST(UnreadableConfig, ATrafficLogThatIsNotAFileIsSaidWhenTheWindowOpens) {
    const std::string atLog = ProgramFile("AtLog.ini");
    ASSERT_TRUE(testsupport::MakeFifo(atLog));
    const WindowRun run = OpenEditAndClose("");
    EXPECT_EQ(CountLines(run.log,
                         "the traffic log " + atLog + " cannot be written: it is a FIFO, not a regular file"),
              1)
        << run.log;
    EXPECT_EQ(testsupport::TypeAt(atLog), S_IFIFO);
}

}  // namespace
}  // namespace marlinq::test
