// The main window after start-up: control states, log, system menu, tabs and pages.
#include <gtest/gtest.h>

#include <fstream>

#include "dialog_harness.h"
#include "platform/app_directory.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

using Harness = DialogHarness<>;

TEST(MainWindowStart, OperationButtonsStartDisabledAndTheRestAsTheTemplateSays) {
    Harness h;
    auto d = h.Driver();
    for (int id : {IDC_BTN_SCAN_PORT, IDC_BTN_GET, IDC_BTN_DOWNLOAD, IDC_BTN_RESET_DTU, IDC_BTN_READ_EXT,
                   IDC_BTN_SET_EXT, IDC_BTN_FACTORY_RESET, IDC_BTN_XML_DOWNLOAD}) {
        EXPECT_FALSE(d.Enabled(id)) << id;
    }
    for (int id : {IDC_BTN_SAVE, IDC_BTN_SEND, IDC_BTN_CSQ, IDC_BTN_NETWORK, IDC_BTN_SIMCARD, IDC_BTN_DTUCFG,
                   IDC_BTN_HELP, IDC_BTN_EXIT, IDC_EDIT_AT_COMMAND, IDC_TAB_MODES, IDC_EDIT_APN,
                   IDC_EDIT_APP_VERSION, IDC_COMBO_BAUDRATE}) {
        EXPECT_TRUE(d.Enabled(id)) << id;
        EXPECT_TRUE(d.Visible(id)) << id;
    }
    EXPECT_EQ(d.Text(IDC_BTN_GET), "Get");
    EXPECT_EQ(d.Text(IDC_BTN_RESET_DTU), "Reset DTU");
    EXPECT_EQ(d.Text(IDC_CHK_CURRENT_PAGE_ONLY), "Download only the current mode page");
    EXPECT_FALSE(d.Checked(IDC_CHK_CURRENT_PAGE_ONLY));
    EXPECT_TRUE(d.Checked(IDC_RADIO_AT));
    EXPECT_FALSE(d.Checked(IDC_RADIO_ADB));
    EXPECT_EQ(d.Text(IDC_EDIT_APN_USER), "");
    EXPECT_EQ(d.Text(IDC_EDIT_APN_PWD), "");
    EXPECT_EQ(d.State(IDC_STATIC_PORT_ICON)->icon, IDI_PORT_CLOSED);
    auto log = d.State(IDC_EDIT_LOG);
    ASSERT_TRUE(log);
    EXPECT_TRUE(log->style & fw::kReadOnly);
    EXPECT_TRUE(log->style & fw::kMultiline);
    EXPECT_TRUE(d.State(IDC_BTN_EXIT)->style & fw::kDefaultButton);
}

TEST(MainWindowStart, HiddenControlsExistButAreNotVisible) {
    Harness h;
    auto d = h.Driver();
    for (int id :
         {IDC_CHK_HEARTBEAT, IDC_CHK_IMSI_REGISTER, IDC_COMBO_SIMTYPE, IDC_COMBO_SERIAL_TYPE, IDC_RADIO_AT,
          IDC_RADIO_ADB, IDC_BTN_READ_EXT, IDC_BTN_SET_EXT, IDC_BTN_IMPORT_XML, IDC_BTN_FACTORY_RESET,
          IDC_BTN_XML_SELECT, IDC_EDIT_XML_PATH, IDC_BTN_XML_DOWNLOAD, IDC_COMBO_PORT, IDC_COMBO_PORT_BAUD,
          IDC_BTN_OPEN_PORT, IDC_STATIC_PORT_ICON, IDC_EDIT_FIRMWARE}) {
        auto s = d.State(id);
        ASSERT_TRUE(s) << id;
        EXPECT_FALSE(s->visible) << id;
    }
    EXPECT_EQ(d.Text(IDC_BTN_FACTORY_RESET), "恢复出厂设置");
}

TEST(MainWindowStart, ValueListsHaveTheirDefaults) {
    Harness h;
    auto d = h.Driver();
    EXPECT_EQ(d.Items(IDC_COMBO_BAUDRATE).size(), 13u);
    EXPECT_EQ(d.Text(IDC_COMBO_BAUDRATE), "115200");
    EXPECT_EQ(d.Text(IDC_COMBO_TYPE), "TCP");
    EXPECT_EQ(d.Items(IDC_COMBO_TYPE), (std::vector<std::string>{"TCP", "UDP", "MQTT", "HTTP(S)"}));
    EXPECT_EQ(d.Text(IDC_COMBO_NETMODE), "AUTO");
    EXPECT_EQ(d.Text(IDC_COMBO_LOGLEVEL), "1");
    EXPECT_EQ(d.CurSel(IDC_COMBO_SIMTYPE), 1);
    EXPECT_EQ(d.Text(IDC_COMBO_SERIAL_TYPE), "232");
}

TEST(MainWindowStart, LogsTheScanStartOnceAndStartsTheScanThreadsOnce) {
    // A Config.xml that is refused logs its failure, and shows when the start-up load ran.
    std::ofstream(platform::GetAppDirectory() + "Config.xml") << "<config/>";
    Harness h;
    // The window is up before the first tick; the scan starts at the tick.
    ASSERT_TRUE(Eventually([&] { return CountLines(h.Log(), "[test] StartScanThreads") == 1; }));
    const auto lines = LogLines(h.Log());
    const auto scanning = std::find(lines.begin(), lines.end(), "Scanning equipments...");
    const auto started = std::find(lines.begin(), lines.end(), "[test] StartScanThreads");
    ASSERT_NE(scanning, lines.end());
    ASSERT_NE(started, lines.end());
    EXPECT_LT(scanning - lines.begin(), started - lines.begin()) << "the scan starts at the first timer tick";
    EXPECT_EQ(CountLines(h.Log(), "[test] StartScanThreads"), 1);
    // The config is loaded before the scan message.
    const auto load = std::find(lines.begin(), lines.end(), "无效的XML文件!");
    ASSERT_NE(load, lines.end());
    EXPECT_LT(load - lines.begin(), scanning - lines.begin());
}

TEST(MainWindowStart, TheWindowIsShownBeforeTheStartTimerTicks) {
    Harness h(1000.0, false);  // the 1 s start timer now takes about 17 minutes
    ASSERT_NE(h.Hwnd(), 0) << "shown without waiting for the tick";
    EXPECT_TRUE(h.On([](CMarlinqDlg& d) { return d.IsWindowVisible() != fw::FALSE; }));
    const std::string log = h.Log();
    EXPECT_EQ(CountLines(log, "Scanning equipments..."), 1);
    EXPECT_EQ(CountLines(log, "[test] StartScanThreads"), 0) << "the scan waits for the tick";
}

TEST(MainWindowStart, SystemMenuEndsWithHelpThenAbout) {
    Harness h;
    std::lock_guard lock(h.events.mutex);
    const auto& m = h.events.menu;
    ASSERT_GE(m.size(), 4u);
    EXPECT_TRUE(m[m.size() - 4].separator);
    EXPECT_EQ(m[m.size() - 3].text, "Help(&H)");
    EXPECT_EQ(m[m.size() - 3].id, IDM_SYS_HELP);
    EXPECT_TRUE(m[m.size() - 2].separator);
    EXPECT_EQ(m[m.size() - 1].text, "About Marlinq(&A)...");
    EXPECT_EQ(m[m.size() - 1].id, IDM_SYS_ABOUT);
}

TEST(ModePages, TabsAndPagesStartAsTheTemplatesSay) {
    Harness h;
    auto d = h.Driver();
    EXPECT_EQ(d.Items(IDC_TAB_MODES),
              (std::vector<std::string>{"TCP/UDP Mode", "MODBUS Mode", "HTTPS Mode", "MQTT Mode"}));
    EXPECT_EQ(d.CurSel(IDC_TAB_MODES), 0);
    EXPECT_EQ(h.On([](CMarlinqDlg& dlg) { return dlg.CurModePage(); }), 0);
    EXPECT_EQ(h.On([](CMarlinqDlg& dlg) {
        int visible = 0;
        for (int i = 0; i < dlg.TabSheet().GetPageCount(); ++i) {
            visible |= dlg.TabSheet().GetPage(i)->IsWindowVisible() << i;
        }
        return visible;
    }),
              1)
        << "only page 0 is shown";

    auto tcp = h.PageDriver(0);
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_HEX));
    EXPECT_TRUE(tcp.Checked(IDC_TCP_CHK_SERVER1));
    EXPECT_FALSE(tcp.Enabled(IDC_TCP_CHK_SERVER1));
    EXPECT_TRUE(tcp.Enabled(IDC_TCP_CHK_SERVER2));
    EXPECT_FALSE(tcp.Checked(IDC_TCP_CHK_SERVER2));
    EXPECT_FALSE(tcp.Checked(IDC_TCP_CLOUD_DISABLE));
    EXPECT_FALSE(tcp.Checked(IDC_TCP_CLOUD_ENABLE));
    EXPECT_EQ(tcp.Text(IDC_TCP_ADDR1), "");
    EXPECT_TRUE(tcp.State(IDC_TCP_BEAT_PERIOD)->style & fw::kDigitsOnly);
    EXPECT_EQ(h.PageDriver(2).Text(IDC_HTTPS_PORT), "443");
    EXPECT_FALSE(h.PageDriver(1).Checked(IDC_MODBUS_CHK_ENABLE));
    EXPECT_EQ(h.PageDriver(3).Text(IDC_MQTT_ADDR), "");
}

TEST(ModePages, TabClicksSwitchThePageAndTheCurrentModePage) {
    Harness h;
    auto d = h.Driver();
    auto shownPage = [&] {
        return h.On([](CMarlinqDlg& dlg) {
            int shown = -1;
            for (int i = 0; i < dlg.TabSheet().GetPageCount(); ++i) {
                if (dlg.TabSheet().GetPage(i)->IsWindowVisible()) {
                    EXPECT_EQ(shown, -1) << "two pages shown";
                    shown = i;
                }
            }
            return shown;
        });
    };
    auto curMode = [&] { return h.On([](CMarlinqDlg& dlg) { return dlg.CurModePage(); }); };

    d.Select(IDC_TAB_MODES, 3);
    EXPECT_EQ(curMode(), 3);
    EXPECT_EQ(shownPage(), 3);
    d.Select(IDC_TAB_MODES, 3);  // the shown tab again changes nothing
    EXPECT_EQ(curMode(), 3);
    EXPECT_EQ(shownPage(), 3);
    d.Select(IDC_TAB_MODES, 1);
    EXPECT_EQ(curMode(), 1);
    EXPECT_EQ(shownPage(), 1);
    d.Select(IDC_TAB_MODES, 7);  // no such tab
    EXPECT_EQ(curMode(), 1);
    EXPECT_EQ(shownPage(), 1);
}

}  // namespace
}  // namespace marlinq::test
