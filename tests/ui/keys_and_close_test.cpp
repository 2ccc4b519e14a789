// Enter, Escape, the close box, Exit, the About box and the routing of the buttons.
#include <gtest/gtest.h>

#include "dialog_harness.h"
#include "platform/app_directory.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

TEST(Keys, EnterInTheCommandEditSendsAndNeverCloses) {
    DialogHarness<> h;
    auto d = h.Driver();
    d.Type(IDC_EDIT_AT_COMMAND, "AT+CSQ");
    d.KeyDown(fw::VK_RETURN);
    d.Sync();
    // With no module the console echoes the command and says that it found no AT port.
    EXPECT_EQ(CountLines(h.Log(), "AT+CSQ"), 1);
    EXPECT_EQ(CountLines(h.Log(), "No scan AT port! "), 1);
    EXPECT_FALSE(h.Ended());
    EXPECT_EQ(d.Text(IDC_EDIT_AT_COMMAND), "AT+CSQ") << "the edit keeps its text";
}

TEST(Keys, EnterElsewhereDoesNothing) {
    DialogHarness<> h;
    auto d = h.Driver();
    EXPECT_EQ(d.FocusedControl(), IDC_BTN_EXIT) << "the default button has the focus after start";
    d.KeyDown(fw::VK_RETURN);  // on the default "Exit" button
    d.Focus(IDC_EDIT_APN);
    d.KeyDown(fw::VK_RETURN);
    h.PageDriver(0).Focus(IDC_TCP_ADDR1);
    d.KeyDown(fw::VK_RETURN);
    d.Sync();
    EXPECT_FALSE(h.Ended());
    EXPECT_EQ(CountLines(h.Log(), "No scan AT port! "), 0);
}

TEST(Closing, EscapeCloseBoxAndExitAllCloseAndSaveTheConfig) {
    for (int way = 0; way < 3; ++way) {
        DialogHarness<> h;
        auto d = h.Driver();
        if (way == 0) {
            d.KeyDown(fw::VK_ESCAPE);
        } else if (way == 1) {
            d.Close();
        } else {
            d.Click(IDC_BTN_EXIT);
        }
        ASSERT_TRUE(h.WaitEnded()) << way;
        std::lock_guard lock(h.events.mutex);
        std::string log;
        for (const auto& c : h.events.changes) {
            if (c.id == IDC_EDIT_LOG && c.hwnd == h.Hwnd() &&
                c.what == fw::ControlChange::What::TextAppended) {
                log += c.text;
            }
        }
        EXPECT_EQ(CountLines(log, "生成XML文件成功!"), 1) << way;  // the exit save of Config.xml
    }
}

TEST(Routing, EachButtonReachesItsOperation) {
    DialogHarness<> h;
    auto d = h.Driver();
    h.Dialog().OnDeviceEvent(CMarlinqDlg::DeviceEvent::Ready);
    // The first line each operation logs.
    const std::pair<int, const char*> routes[] = {
        {IDC_BTN_GET, "Start reading parameters..."},
        {IDC_BTN_DOWNLOAD, "Start downloading parameters..."},
    };
    for (const auto& [id, name] : routes) {
        d.Click(id);
    }
    h.Dialog().PostMessage(fw::WM_COMMAND, fw::MAKEWPARAM(ID_ADB_PUSH_XML, 0), 0);
    d.Sync();
    const std::string log = h.Log();
    for (const auto& [id, name] : routes) {
        EXPECT_EQ(CountLines(log, name), 1) << id;
    }
    EXPECT_EQ(CountLines(log, "Push XML file to cache ..."), 1);
}

TEST(AboutBox, RunsModallyFromTheSystemMenuAndBlocksTheMainWindow) {
    FakeUiServices ui;  // Save asks for a file: the number of questions counts the presses taken
    DialogHarness<> h;
    h.Thread().SetServices(&ui);
    auto d = h.Driver();
    d.SysCommand(IDM_SYS_ABOUT);
    ASSERT_TRUE(
        h.events.WaitFor([&] { return h.events.created.size() > 5 && h.events.created.back().modal; }));
    fw::DialogInfo about;
    {
        std::lock_guard lock(h.events.mutex);
        about = h.events.created.back();
    }
    EXPECT_EQ(about.templateId, IDD_ABOUTBOX);
    EXPECT_EQ(about.tpl->caption, "Marlinq");
    fw::CDialogDriver box(h.Thread(), about.hwnd);
    EXPECT_EQ(box.Text(fw::IDOK), "OK");
    // The folder where this run writes its files: the test's own program folder.
    EXPECT_EQ(box.Text(IDC_ABOUT_FILES), platform::AppDirectoryOverride());
    d.Click(IDC_BTN_SAVE);  // the main window takes no input while the box runs
    box.Click(fw::IDOK);
    ASSERT_TRUE(h.events.WaitFor([&] {
        return std::find(h.events.destroyed.begin(), h.events.destroyed.end(), about.hwnd) !=
               h.events.destroyed.end();
    }));
    d.Click(IDC_BTN_SAVE);
    d.Sync();
    EXPECT_EQ(ui.Requests().size(), 1u);
    EXPECT_FALSE(h.Ended());
}

TEST(AboutBox, ClosingTheMainWindowEndsAnOpenAboutBoxToo) {
    DialogHarness<> h;
    h.Driver().SysCommand(IDM_SYS_ABOUT);
    ASSERT_TRUE(h.events.WaitFor([&] { return h.events.created.back().templateId == IDD_ABOUTBOX; }));
    ASSERT_TRUE(h.Close());
}

}  // namespace
}  // namespace marlinq::test
