// The Windows view in this process on a virtual display: the real windows of Marlinq's dialogs,
// driven through their window handles as a user (or a test tool) would: clicks, typed text, keys
// and the window's close box.
// The tool's headers come before the Windows ones (see ui/win32/windows_api.h).
#include "dialog_probe.h"
#include "tests/support/blocking_handler.h"
#include "ui/resource.h"

#include "ui/win32/app_loop.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/app_directory.h"
#include "platform/clock.h"
#include "tests/support/poll.h"
#include "ui/win32/text.h"
#include "ui/win32/ui_services.h"

namespace marlinq::win32 {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A mouse click in the middle of `rect` of `hwnd`'s client area, as posted input.
void PostClick(HWND hwnd, const RECT& rect) {
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

void PostClick(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    PostClick(hwnd, rc);
}

// The message box the window thread asked for, answered from inside its own modal loop.
struct BoxSeen {
    std::string title;
    std::string text;
    bool answered = false;
};
BoxSeen* g_box = nullptr;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr || g_box == nullptr || g_box->answered) {
        return;
    }
    g_box->title = WindowText(box);
    g_box->text = WindowText(GetDlgItem(box, 0xFFFF));  // the box's text
    g_box->answered = true;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// The save dialog the window thread asked for, filled in and confirmed from inside its own loop.
struct FileDialogSeen {
    std::string path;  // the name to type
    std::string title;
    std::string firstType;  // the first entry of the file type list
    bool answered = false;
};
FileDialogSeen* g_file = nullptr;

void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr || g_file == nullptr || g_file->answered) {
        return;
    }
    g_file->title = WindowText(box);
    wchar_t type[128] = {};
    SendDlgItemMessageW(box, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(type));
    g_file->firstType = Narrow(type);
    // The file name field: a combo box in the explorer-style dialog, an edit in older ones.
    HWND name = GetDlgItem(box, cmb13) != nullptr ? GetDlgItem(box, cmb13) : GetDlgItem(box, edt1);
    SetWindowTextW(name, Wide(g_file->path).c_str());
    g_file->answered = true;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(Win32DialogFilter, PartsLoseTheirBlanksAndTheListEndsInTwoNuls) {
    using namespace std::string_literals;
    EXPECT_EQ(DialogFilter("xml File (*.xml) | *.xml"), "xml File (*.xml)\0*.xml\0\0"s);
    EXPECT_EQ(DialogFilter("xml file(*.xml)|*.xml|all files(*.*)|*.*||"),
              "xml file(*.xml)\0*.xml\0all files(*.*)\0*.*\0\0"s);
    EXPECT_EQ(DialogFilter(""), "\0\0"s);
}

class Win32View : public ::testing::Test {
  protected:
    void SetUp() override { StartLoop(); }
    void TearDown() override { loop.reset(); }

    void StartLoop() {
        loop = std::make_unique<CAppLoop>(GetModuleHandleW(nullptr));
        loop->Start();
        ASSERT_TRUE(PumpUntil([&] {
            return main() != nullptr && IsWindowVisible(main()) &&
                   SendMessageW(control(IDC_TAB_MODES), TCM_GETITEMCOUNT, 0, 0) == 4 && page(3) != nullptr;
        }));
    }

    // Runs the GUI thread's messages until cond holds (true) or ms pass (false).
    bool PumpUntil(const std::function<bool()>& cond, int ms = 20000) {
        return testsupport::PollUntil(
            [&] {
                loop->Pump();
                return cond();
            },
            std::chrono::milliseconds(ms));
    }

    // Queues a download, answers the box it shows as the user would (from inside the box's own
    // loop) and returns what the box showed; answered stays false when no box came.
    BoxSeen DownloadAnsweringItsBox() {
        BoxSeen seen;
        g_box = &seen;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerBox);
        win32test::QueueDownload(loop->Host().Thread(), loop->View().MainHwnd());
        PumpUntil([&] { return seen.answered; });
        KillTimer(nullptr, timer);
        g_box = nullptr;
        return seen;
    }

    HWND main() { return loop->View().MainWindow(); }
    HWND control(int id) { return GetDlgItem(main(), id); }
    HWND page(int index) { return GetDlgItem(control(IDC_TAB_MODES), kPageIdBase + index); }
    HWND pageControl(int index, int id) { return GetDlgItem(page(index), id); }
    fw::CDialogDriver driver() { return fw::CDialogDriver(loop->Host().Thread(), loop->View().MainHwnd()); }
    fw::CDialogDriver pageDriver(int index) {
        fw::CDialogDriver main = driver();
        return fw::CDialogDriver(loop->Host().Thread(), win32test::PageHwnd(main, index));
    }
    std::string status() {
        wchar_t text[64] = {};
        SendMessageW(GetDlgItem(main(), kStatusBarId), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return Narrow(text);
    }
    bool LogHas(const std::string& text) {
        return WindowText(control(IDC_EDIT_LOG)).find(text) != std::string::npos;
    }

    platform::ScopedClockScale scale{0.01};
    std::unique_ptr<CAppLoop> loop;
};

TEST_F(Win32View, OpensWithTheFourModeTabsAndTheControlsOfTheTemplates) {
    EXPECT_EQ(WindowText(main()), "Marlinq_Eng_V3.7");
    HWND tab = control(IDC_TAB_MODES);
    const char* titles[] = {"TCP/UDP Mode", "MODBUS Mode", "HTTPS Mode", "MQTT Mode"};
    for (int i = 0; i < 4; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(Narrow(text), titles[i]);
        EXPECT_EQ(IsWindowVisible(page(i)) != 0, i == 0) << "page " << i;
    }
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
    // Three columns: parameters and operations, the tabs and console, the log with Help and Exit.
    auto left = [&](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r.left;
    };
    EXPECT_LT(left(control(IDC_BTN_GET)), left(tab));
    EXPECT_LT(left(tab), left(control(IDC_EDIT_LOG)));
    EXPECT_LT(left(control(IDC_EDIT_AT_COMMAND)), left(control(IDC_BTN_EXIT)));
    EXPECT_FALSE(IsWindowEnabled(control(IDC_BTN_GET)));
    EXPECT_TRUE(IsWindowEnabled(control(IDC_BTN_SAVE)));
    EXPECT_FALSE(IsWindowVisible(control(IDC_BTN_IMPORT_XML)));
    EXPECT_FALSE(IsWindowVisible(control(IDC_COMBO_PORT)));
    EXPECT_EQ(WindowText(control(IDC_CHK_CURRENT_PAGE_ONLY)), "Download only the current mode page");
    const LONG_PTR logStyle = GetWindowLongPtrW(control(IDC_EDIT_LOG), GWL_STYLE);
    EXPECT_TRUE(logStyle & ES_READONLY);
    EXPECT_TRUE(logStyle & ES_MULTILINE);
    EXPECT_TRUE(GetWindowLongPtrW(pageControl(0, IDC_TCP_BEAT_PERIOD), GWL_STYLE) & ES_NUMBER)
        << "digits only";
    EXPECT_FALSE(GetWindowLongPtrW(pageControl(0, IDC_TCP_BEAT), GWL_STYLE) & ES_NUMBER);
    EXPECT_EQ(WindowText(pageControl(2, IDC_HTTPS_PORT)), "443");
    EXPECT_EQ(SendMessageW(pageControl(0, IDC_TCP_CHK_HEX), BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_TRUE(PumpUntil([&] { return LogHas("Scanning equipments...\r\n"); }));
    // The system menu ends with a separator, Help, a separator and About.
    HMENU menu = GetSystemMenu(main(), FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 4);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), IDM_SYS_ABOUT);
    EXPECT_EQ(GetMenuItemID(menu, count - 3), IDM_SYS_HELP);
    wchar_t about[64] = {};
    GetMenuStringW(menu, count - 1, about, 64, MF_BYPOSITION);
    EXPECT_EQ(Narrow(about), "About Marlinq(&A)...");
    EXPECT_NE(SendMessageW(main(), WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(Win32View, ClickOnTheMqttTabShowsItsPageAndReachesTheWindow) {
    HWND tab = control(IDC_TAB_MODES);
    RECT item{};
    ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item)));
    PostClick(tab, item);
    fw::CDialogDriver main = driver();
    ASSERT_TRUE(PumpUntil([&] { return win32test::CurrentPages(main) == 33; }));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(page(3)) && !IsWindowVisible(page(0)); }));
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 3);
    RECT pageRect{};
    RECT tabRect{};
    GetWindowRect(page(3), &pageRect);
    GetWindowRect(tab, &tabRect);
    EXPECT_GT(pageRect.top, tabRect.top) << "the page lies under the tabs";
    EXPECT_LE(pageRect.bottom, tabRect.bottom);
}

TEST_F(Win32View, TypingSelectingAndEnterReachTheWindowThread) {
    // Keys faster than the window thread confirms them: its echo of an older text never takes
    // back what was typed since.
    HWND apn = control(IDC_EDIT_APN);
    SetWindowTextW(apn, L"c");                    // as typed: the edit reports the change
    ASSERT_EQ(driver().Text(IDC_EDIT_APN), "c");  // its echo now waits for the GUI thread
    std::atomic<bool> release{false};
    std::atomic<bool> done{false};
    testsupport::QueueBlockingHandler(loop->Host().Thread(), loop->View().MainHwnd(), release, done);
    SetWindowTextW(apn, L"cm");  // reaches the window thread only after the handler
    ASSERT_TRUE(PumpUntil([&] { return LogHas("step 3\r\n"); }));  // the echo of "c" came before
    EXPECT_EQ(WindowText(apn), "cm");
    release = true;
    SetWindowTextW(apn, L"cmnet");
    ASSERT_TRUE(PumpUntil([&] { return driver().Text(IDC_EDIT_APN) == "cmnet"; }));
    EXPECT_EQ(WindowText(apn), "cmnet");
    HWND baud = control(IDC_COMBO_BAUDRATE);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageW(baud, CB_GETCOUNT, 0, 0) == 13; }));
    SetFocus(baud);
    PostMessageW(baud, WM_KEYDOWN, VK_UP, 0);  // the item above the default 115200
    ASSERT_TRUE(PumpUntil([&] { return driver().Text(IDC_COMBO_BAUDRATE) == "57600"; }));
    // Pasted text in a digits-only edit keeps its digits.
    SetWindowTextW(pageControl(0, IDC_TCP_NET_RECEIVE), L"12a3");
    fw::CDialogDriver tcp = pageDriver(win32test::kModePageTcp);
    ASSERT_TRUE(PumpUntil([&] { return tcp.Text(IDC_TCP_NET_RECEIVE) == "123"; }));
    EXPECT_EQ(WindowText(pageControl(0, IDC_TCP_NET_RECEIVE)), "123");

    HWND command = control(IDC_EDIT_AT_COMMAND);
    SetWindowTextW(command, L"AT+CSQ");
    SetFocus(command);
    PostMessageW(command, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] {
        const std::string log = WindowText(control(IDC_EDIT_LOG));
        const std::size_t csq = log.find("AT+CSQ\r\n");
        return csq != std::string::npos && log.find("No scan AT port! ", csq) != std::string::npos;
    }));
    EXPECT_TRUE(IsWindowVisible(main())) << "Enter never closes the window";
}

TEST_F(Win32View, BlockedWindowThreadLeavesTheWindowLiveAndBusy) {
    std::atomic<bool> release{false};
    std::atomic<bool> done{false};
    testsupport::QueueBlockingHandler(loop->Host().Thread(), loop->View().MainHwnd(), release, done);
    ASSERT_TRUE(PumpUntil([&] { return loop->View().BusyShown() && status() == "Working..."; }));
    ASSERT_TRUE(PumpUntil([&] { return LogHas("step 3\r\n"); })) << "the log scrolls live";
    PostClick(control(IDC_BTN_CSQ));  // refused while busy
    ASSERT_TRUE(PumpUntil([&] { return GetQueueStatus(QS_POSTMESSAGE) == 0; }));
    EXPECT_FALSE(done.load());
    release = true;
    ASSERT_TRUE(PumpUntil([&] { return !loop->View().BusyShown() && status() == "Ready"; }));
    EXPECT_TRUE(done.load());
    ASSERT_TRUE(PumpUntil([&] { return LogHas("step 4\r\n"); }));
    EXPECT_FALSE(LogHas("AT+CSQ")) << "the click while busy was dropped";
    // After a burst of lines the pane shows its end.
    win32test::QueueLogLines(loop->Host().Thread(), loop->View().MainHwnd(), 300);
    HWND pane = control(IDC_EDIT_LOG);
    ASSERT_TRUE(PumpUntil([&] { return LogHas("line 299\r\n"); }));
    RECT rc{};
    SendMessageW(pane, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rc));
    const LRESULT lastLine = SendMessageW(pane, EM_GETLINECOUNT, 0, 0) - 1;
    const LRESULT lastStart = SendMessageW(pane, EM_LINEINDEX, lastLine, 0);
    const LRESULT at = SendMessageW(pane, EM_POSFROMCHAR, lastStart > 0 ? lastStart - 1 : 0, 0);
    EXPECT_GT(SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0), 250);
    EXPECT_LT(static_cast<short>(HIWORD(at)), rc.bottom) << "the last line is in view";
    PostClick(control(IDC_BTN_CSQ));  // taken again once idle
    EXPECT_TRUE(PumpUntil([&] { return LogHas("AT+CSQ\r\n"); }));
}

TEST_F(Win32View, InputRuleOfADownloadShowsAnExclamationBoxTitledWithoutTheEscape) {
    fw::CDialogDriver main = driver();
    win32test::SetResetTime(main, "0");
    const BoxSeen seen = DownloadAnsweringItsBox();
    ASSERT_TRUE(seen.answered);
    EXPECT_EQ(seen.title, "Marlinq");
    EXPECT_EQ(seen.text, "ResetTime cannot be set to 0!");
    EXPECT_TRUE(PumpUntil([&] { return LogHas("ResetTime cannot be set to 0!\r\n"); }));
}

TEST_F(Win32View, RefusedDownloadFocusesTheOffendingEditWithTheCaretAtItsEnd) {
    HWND reset = pageControl(win32test::kModePageTcp, IDC_TCP_RESET_TIME);
    HWND apn = control(IDC_EDIT_APN);
    SetForegroundWindow(main());
    // The user types 0, puts the caret in front of it and goes on to another field.
    SetFocus(reset);
    SetWindowTextW(reset, L"0");  // as typed: the edit reports the change
    SendMessageW(reset, EM_SETSEL, 0, 0);
    SetFocus(apn);
    fw::CDialogDriver tcp = pageDriver(win32test::kModePageTcp);
    ASSERT_TRUE(PumpUntil([&] { return tcp.Text(IDC_TCP_RESET_TIME) == "0"; }));
    ASSERT_EQ(GetFocus(), apn);

    const BoxSeen seen = DownloadAnsweringItsBox();
    ASSERT_TRUE(seen.answered);
    EXPECT_EQ(seen.text, "ResetTime cannot be set to 0!");
    // Back in the window after the box, the keyboard is in the refused field behind its text.
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == reset; }, 5000));
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(reset, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 1u);
}

TEST_F(Win32View, SaveAsksWithItsTitleAndFilterAndWritesTheChosenFile) {
    std::string path = platform::GetAppDirectory() + "saved.xml";
    std::replace(path.begin(), path.end(), '/', '\\');  // as a user types it into the dialog
    std::ofstream(path).put('\n');                      // an existing file: no question about creating it
    FileDialogSeen seen;
    seen.path = path;
    g_file = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerFileDialog);
    PostClick(control(IDC_BTN_SAVE));
    ASSERT_TRUE(PumpUntil([&] { return ReadFile(path).find("<system>") != std::string::npos; }));
    KillTimer(nullptr, timer);
    g_file = nullptr;
    EXPECT_EQ(seen.title, "Save xml file:");
    EXPECT_EQ(seen.firstType, "xml File (*.xml)");
}

TEST_F(Win32View, AboutFromTheSystemMenuRunsModallyOverTheWindow) {
    PostMessageW(main(), WM_SYSCOMMAND, IDM_SYS_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        about = FindWindowW(L"MarlinqDialog", L"Marlinq");
        return about != nullptr && IsWindowVisible(about);
    }));
    EXPECT_FALSE(IsWindowEnabled(main())) << "the owner takes no input while the box runs";
    EXPECT_EQ(WindowText(GetDlgItem(about, IDOK)), "OK");
    bool hasIcon = false;
    bool hasText = false;
    for (HWND c = GetWindow(about, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        hasIcon = hasIcon || SendMessageW(c, STM_GETICON, 0, 0) != 0;
        hasText = hasText || WindowText(c) == "Marlinq V3.7";
    }
    EXPECT_TRUE(hasIcon) << "the main icon";
    EXPECT_TRUE(hasText);
    SendMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(about) && IsWindowEnabled(main()); }));
}

TEST_F(Win32View, ClosingSavesConfigXmlAndTheNextStartLoadsIt) {
    SetWindowTextW(control(IDC_EDIT_APN), L"cmnet.win");
    // A page takes input once it is shown.
    HWND tab = control(IDC_TAB_MODES);
    RECT item{};
    ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item)));
    PostClick(tab, item);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(page(3)) != 0; }));
    SetWindowTextW(pageControl(3, IDC_MQTT_CLIENT_ID), L"client-7");
    fw::CDialogDriver mqtt = pageDriver(win32test::kModePageMqtt);
    ASSERT_TRUE(PumpUntil([&] {
        return driver().Text(IDC_EDIT_APN) == "cmnet.win" && mqtt.Text(IDC_MQTT_CLIENT_ID) == "client-7";
    }));
    PostMessageW(main(), WM_CLOSE, 0, 0);  // the close box
    ASSERT_TRUE(PumpUntil([&] { return !loop->Pump(); }));
    EXPECT_EQ(loop->Finish(), 0);
    const std::string config = ReadFile(platform::GetAppDirectory() + "Config.xml");
    EXPECT_NE(config.find("cmnet.win"), std::string::npos) << config;
    EXPECT_NE(config.find("client-7"), std::string::npos) << config;

    loop.reset();
    StartLoop();
    EXPECT_TRUE(PumpUntil([&] { return WindowText(control(IDC_EDIT_APN)) == "cmnet.win"; }));
    EXPECT_EQ(WindowText(pageControl(3, IDC_MQTT_CLIENT_ID)), "client-7");
}

TEST_F(Win32View, EndOfTheSessionSavesConfigXmlBeforeTheWindowAnswers) {
    SetWindowTextW(control(IDC_EDIT_APN), L"session.end");
    ASSERT_TRUE(PumpUntil([&] { return driver().Text(IDC_EDIT_APN) == "session.end"; }));
    const std::string config = platform::GetAppDirectory() + "Config.xml";
    EXPECT_EQ(ReadFile(config), "");
    EXPECT_EQ(SendMessageW(main(), WM_QUERYENDSESSION, 0, 0), TRUE);
    // The system may end the process once the window has answered: by then the file is written.
    SendMessageW(main(), WM_ENDSESSION, TRUE, 0);
    EXPECT_NE(ReadFile(config).find("session.end"), std::string::npos);
    EXPECT_EQ(main(), nullptr);
    EXPECT_EQ(loop->Finish(), 0);
}

TEST_F(Win32View, EscapeClosesTheWindowAndSavesConfigXml) {
    SetFocus(control(IDC_EDIT_APN));
    SetWindowTextW(control(IDC_EDIT_APN), L"escaped");
    ASSERT_TRUE(PumpUntil([&] { return driver().Text(IDC_EDIT_APN) == "escaped"; }));
    PostMessageW(control(IDC_EDIT_APN), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !loop->Pump(); }));
    EXPECT_EQ(loop->Finish(), 0);
    EXPECT_NE(ReadFile(platform::GetAppDirectory() + "Config.xml").find("escaped"), std::string::npos);
}

}  // namespace
}  // namespace marlinq::win32
