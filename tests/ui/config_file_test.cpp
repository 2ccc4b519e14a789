// Parameter files through the main window: Save and Import with their dialogs, the start-up load
// and the exit save of Config.xml, and the reading rules as the controls show them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "configfile/config_messages.h"
#include "configfile/config_xml.h"
#include "dialog_harness.h"
#include "platform/app_directory.h"
#include "tests/support/read_file.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

namespace fs = std::filesystem;
using Harness = DialogHarness<>;

constexpr int kMain = -1;

std::string Doc(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system>" + body + "</system>\n";
}

// A file of the test's own program directory.
std::string ProgramFile(const std::string& name) {
    return platform::GetAppDirectory() + name;
}

fw::IControlAccess& On(CMarlinqDlg& d, int page) {
    return page == kMain ? d.MainControls() : d.PageControls(static_cast<ModePage>(page));
}

struct Window {
    Window() { h.Thread().SetServices(&ui); }
    ~Window() { h.Close(); }

    std::string Text(int page, int id) {
        return h.On([=](CMarlinqDlg& d) { return On(d, page).GetWindowText(id); });
    }
    void SetText(int page, int id, const std::string& text) {
        h.On([=](CMarlinqDlg& d) { On(d, page).SetWindowText(id, text); });
    }
    bool Checked(int page, int id) {
        return h.On([=](CMarlinqDlg& d) { return On(d, page).GetCheck(id) == fw::BST_CHECKED; });
    }
    void SetCheck(int page, int id, bool on) {
        h.On([=](CMarlinqDlg& d) { On(d, page).SetCheck(id, on ? fw::BST_CHECKED : fw::BST_UNCHECKED); });
    }
    int CurSel(int id) {
        return h.On([=](CMarlinqDlg& d) { return d.MainControls().GetCurSel(id); });
    }
    void SetCurSel(int id, int index) {
        h.On([=](CMarlinqDlg& d) { d.MainControls().SetCurSel(id, index); });
    }
    bool Load(const std::string& path) {
        return h.On([=](CMarlinqDlg& d) { return d.LoadXmlConfig(path) != fw::FALSE; });
    }
    void Import(const std::string& path) {
        ui.Answer(path);
        // The button is hidden: a user cannot press it, so its command is sent as a press would.
        h.On([](CMarlinqDlg& d) {
            return d.SendMessage(fw::WM_COMMAND, fw::MAKEWPARAM(IDC_BTN_IMPORT_XML, 0), 0);
        });
    }
    std::vector<std::string> Lines() { return LogLines(h.Log()); }

    FakeUiServices ui;
    Harness h;
};

// Every value the file carries, set to something other than the defaults.
void FillEveryCarriedControl(Window& w) {
    w.SetCurSel(IDC_COMBO_BAUDRATE, 3);  // 2400
    w.SetCurSel(IDC_COMBO_TYPE, 1);      // UDP
    w.SetText(kMain, IDC_EDIT_APN, "apn.example");
    w.SetText(kMain, IDC_EDIT_APN_USER, "user 用户");
    w.SetText(kMain, IDC_EDIT_APN_PWD, "p<&>w");
    w.SetCurSel(IDC_COMBO_LOGLEVEL, 1);  // 2
    w.SetText(MODE_PAGE_TCP, IDC_TCP_ADDR1, "198.51.100.7");
    w.SetText(MODE_PAGE_TCP, IDC_TCP_PORT1, "6000");
    w.SetCheck(MODE_PAGE_TCP, IDC_TCP_CHK_REGPACKET, true);
    w.SetText(MODE_PAGE_TCP, IDC_TCP_REGPACKET, "hello reg");
    w.SetText(MODE_PAGE_TCP, IDC_TCP_BEAT_PERIOD, "90");
    w.SetText(MODE_PAGE_TCP, IDC_TCP_BEAT, "0A0B");
    w.SetText(MODE_PAGE_TCP, IDC_TCP_NET_RECEIVE, "100");
    w.SetText(MODE_PAGE_TCP, IDC_TCP_RESET_TIME, "5");
    const std::pair<int, std::string> mqtt[] = {
        {IDC_MQTT_ADDR, "broker.example"}, {IDC_MQTT_PORT, "8883"},     {IDC_MQTT_CLIENT_ID, "id-7"},
        {IDC_MQTT_USER, "mq user"},        {IDC_MQTT_PWD, "mq pwd"},    {IDC_MQTT_BEAT_PERIOD, "45"},
        {IDC_MQTT_SUBTOPIC1, "s/1"},       {IDC_MQTT_SUBTOPIC2, "s/2"}, {IDC_MQTT_SUBTOPIC3, "s/3"},
        {IDC_MQTT_SUBTOPIC4, "s/4"},       {IDC_MQTT_PUBTOPIC1, "p/1"}, {IDC_MQTT_PUBTOPIC2, "p/2"},
        {IDC_MQTT_PUBTOPIC3, "p/3"},       {IDC_MQTT_PUBTOPIC4, "p/4"},
    };
    for (const auto& [id, text] : mqtt) {
        w.SetText(MODE_PAGE_MQTT, id, text);
    }
    w.SetCheck(MODE_PAGE_MQTT, IDC_MQTT_LONG_DISABLE, false);
    w.SetCheck(MODE_PAGE_MQTT, IDC_MQTT_LONG_ENABLE, true);
}

TEST(ConfigFileWindow, SaveThenImportBringsEveryValueBack) {
    Window w;
    FillEveryCarriedControl(w);
    // Values the file does not carry, to see what an import does to them.
    w.SetText(MODE_PAGE_TCP, IDC_TCP_TRIGGER_TIME, "7");
    w.SetText(MODE_PAGE_TCP, IDC_TCP_TRIGGER_LENGTH, "8");
    w.SetCheck(MODE_PAGE_TCP, IDC_TCP_CLOUD_ENABLE, true);
    w.SetCheck(MODE_PAGE_TCP, IDC_TCP_URC_ENABLE, true);
    w.SetText(MODE_PAGE_TCP, IDC_TCP_ADDR2, "server2");

    const std::string path = ProgramFile("saved.xml");
    w.ui.Answer(path);
    w.h.Driver().Click(IDC_BTN_SAVE);
    ASSERT_TRUE(w.h.Driver().Sync());
    EXPECT_EQ(CountLines(w.h.Log(), configfile::kMsgSaveDone), 1);
    const std::string saved = testsupport::ReadFile(path);
    EXPECT_NE(saved.find("<IPAddr>198.51.100.7</IPAddr>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<ConnectState>1</ConnectState>"), std::string::npos);
    EXPECT_NE(saved.find("<Password>p&lt;&amp;&gt;w</Password>"), std::string::npos);

    // Everything changes, then the import puts the file's values back.
    w.SetCurSel(IDC_COMBO_BAUDRATE, 9);
    w.SetCurSel(IDC_COMBO_TYPE, 0);
    w.SetCurSel(IDC_COMBO_LOGLEVEL, 0);
    for (int id : {IDC_EDIT_APN, IDC_EDIT_APN_USER, IDC_EDIT_APN_PWD}) {
        w.SetText(kMain, id, "changed");
    }
    for (int id : {IDC_TCP_ADDR1, IDC_TCP_PORT1, IDC_TCP_REGPACKET, IDC_TCP_BEAT_PERIOD, IDC_TCP_BEAT,
                   IDC_TCP_NET_RECEIVE, IDC_TCP_RESET_TIME}) {
        w.SetText(MODE_PAGE_TCP, id, "changed");
    }
    w.SetCheck(MODE_PAGE_TCP, IDC_TCP_CHK_REGPACKET, false);
    w.SetText(MODE_PAGE_MQTT, IDC_MQTT_ADDR, "changed");
    w.SetText(MODE_PAGE_MQTT, IDC_MQTT_PUBTOPIC4, "changed");
    w.SetCheck(MODE_PAGE_MQTT, IDC_MQTT_LONG_DISABLE, true);
    w.SetCheck(MODE_PAGE_MQTT, IDC_MQTT_LONG_ENABLE, false);
    w.Import(path);
    EXPECT_EQ(CountLines(w.h.Log(), configfile::kMsgLoadDone), 1);

    EXPECT_EQ(w.CurSel(IDC_COMBO_BAUDRATE), 3);
    EXPECT_EQ(w.CurSel(IDC_COMBO_TYPE), 1);
    EXPECT_EQ(w.CurSel(IDC_COMBO_LOGLEVEL), 1);
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "apn.example");
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN_USER), "user 用户");
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN_PWD), "p<&>w");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_ADDR1), "198.51.100.7");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_PORT1), "6000");
    EXPECT_TRUE(w.Checked(MODE_PAGE_TCP, IDC_TCP_CHK_REGPACKET));
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_REGPACKET), "hello reg");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_BEAT_PERIOD), "90");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_BEAT), "0A0B");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_NET_RECEIVE), "100");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_RESET_TIME), "5");
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, IDC_MQTT_ADDR), "broker.example");
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, IDC_MQTT_CLIENT_ID), "id-7");
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, IDC_MQTT_PUBTOPIC4), "p/4");
    EXPECT_TRUE(w.Checked(MODE_PAGE_MQTT, IDC_MQTT_LONG_ENABLE));
    EXPECT_FALSE(w.Checked(MODE_PAGE_MQTT, IDC_MQTT_LONG_DISABLE));
    // What the file does not carry: the record's other fields are empty and the switches Disable.
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_TRIGGER_TIME), "");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_TRIGGER_LENGTH), "");
    EXPECT_TRUE(w.Checked(MODE_PAGE_TCP, IDC_TCP_CLOUD_DISABLE));
    EXPECT_FALSE(w.Checked(MODE_PAGE_TCP, IDC_TCP_CLOUD_ENABLE));
    EXPECT_TRUE(w.Checked(MODE_PAGE_TCP, IDC_TCP_URC_DISABLE));
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_ADDR2), "server2");

    // The dialogs as asked.
    const auto requests = w.ui.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].title, "Save xml file:");
    EXPECT_EQ(requests[0].filter, "xml File (*.xml) | *.xml");
    EXPECT_EQ(requests[0].defaultExt, "*.xml");
    EXPECT_TRUE(requests[0].createPrompt);
    EXPECT_FALSE(requests[1].save);
    EXPECT_EQ(requests[1].title, "Select xml file:");
    EXPECT_EQ(requests[1].filter, "xml file(*.xml)|*.xml|all files(*.*)|*.*||");
    EXPECT_TRUE(requests[1].fileMustExist);
    EXPECT_TRUE(requests[1].hideReadOnly);
    EXPECT_TRUE(requests[1].defaultExt.empty());
}

TEST(ConfigFileWindow, TheSampleFileLandsOnTheControlsItNames) {
    Window w;
    const std::string path = ProgramFile("sample.xml");
    std::ofstream(path) << testsupport::ReadFile(fs::path(CONFIG_TEST_DATA) / "sample.xml");
    ASSERT_TRUE(w.Load(path));
    EXPECT_EQ(w.Text(kMain, 1018), "115200");
    EXPECT_EQ(w.Text(kMain, 1019), "TCP");
    EXPECT_EQ(w.Text(kMain, 1016), "internet");
    EXPECT_EQ(w.Text(kMain, 1031), "1");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, 1038), "30");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, 1045), "192.0.2.10");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, 1015), "5000");
    EXPECT_FALSE(w.Checked(MODE_PAGE_TCP, 1020));
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, 1037), "60");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, 1023), "ping");
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, 1073), "0");
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, 1045), "192.0.2.20");
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, 1015), "1883");
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, 1046), "client-01");
    EXPECT_TRUE(w.Checked(MODE_PAGE_MQTT, 1072));
    EXPECT_FALSE(w.Checked(MODE_PAGE_MQTT, 1071));
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, 1047), "60");
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, 1048), "sub/one");
    EXPECT_EQ(w.Text(MODE_PAGE_MQTT, 1052), "pub/one");
    // Saved again, the same document comes out byte for byte.
    const std::string again = ProgramFile("again.xml");
    ASSERT_TRUE(w.h.On([&](CMarlinqDlg& d) { return d.SaveXmlConfig(again) != fw::FALSE; }));
    EXPECT_EQ(testsupport::ReadFile(again), testsupport::ReadFile(fs::path(CONFIG_TEST_DATA) / "sample.xml"));
}

TEST(ConfigFileWindow, ReadingRulesOnTheControls) {
    Window w;
    const std::string path = ProgramFile("rules.xml");
    const auto load = [&](const std::string& body) {
        std::ofstream(path, std::ios::trunc) << Doc(body);
        return w.Load(path);
    };
    w.SetCurSel(IDC_COMBO_BAUDRATE, 5);  // 9600
    ASSERT_TRUE(load("<SerialCfg><BaudRate>115201</BaudRate></SerialCfg>"));
    EXPECT_EQ(w.CurSel(IDC_COMBO_BAUDRATE), 5) << "a rate outside the list leaves the list as it was";
    ASSERT_TRUE(load("<SerialCfg><baudrate>300</baudrate></SerialCfg>"));
    EXPECT_EQ(w.CurSel(IDC_COMBO_BAUDRATE), 5) << "no BaudRate element leaves the list as it was";
    ASSERT_TRUE(load("<SerialCfg><BaudRate>9600</BaudRate><BaudRate>115200</BaudRate></SerialCfg>"));
    EXPECT_EQ(w.CurSel(IDC_COMBO_BAUDRATE), 9);

    w.SetText(kMain, IDC_EDIT_APN, "old apn");
    ASSERT_TRUE(load("<NetworkCfg><Username>u</Username></NetworkCfg>"));
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "") << "a missing APN empties the edit";
    w.SetText(kMain, IDC_EDIT_APN, "old apn");
    ASSERT_TRUE(load("<SerialCfg/>"));
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "") << "a missing group counts as missing leaves";
    ASSERT_TRUE(load("<NetworkCfg><APN>  spaced  </APN></NetworkCfg>"));
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "  spaced  ") << "white space around a value is kept";

    for (const char* level : {"3", "", "02"}) {
        w.SetCurSel(IDC_COMBO_LOGLEVEL, 1);
        ASSERT_TRUE(load(std::string("<DebugCfg><LogLevel>") + level + "</LogLevel></DebugCfg>"));
        EXPECT_EQ(w.CurSel(IDC_COMBO_LOGLEVEL), 0) << level;
    }
    for (const char* state : {"0", "", "yes", "01"}) {
        w.SetCheck(MODE_PAGE_MQTT, IDC_MQTT_LONG_ENABLE, true);
        w.SetCheck(MODE_PAGE_MQTT, IDC_MQTT_LONG_DISABLE, false);
        ASSERT_TRUE(load(std::string("<MQTTCfg><ConnectState>") + state + "</ConnectState></MQTTCfg>"));
        EXPECT_TRUE(w.Checked(MODE_PAGE_MQTT, IDC_MQTT_LONG_DISABLE)) << state;
        EXPECT_FALSE(w.Checked(MODE_PAGE_MQTT, IDC_MQTT_LONG_ENABLE)) << state;
    }
    ASSERT_TRUE(load("<FunctionCfg><RegisterEnable>1</RegisterEnable></FunctionCfg>"));
    EXPECT_TRUE(w.Checked(MODE_PAGE_TCP, IDC_TCP_CHK_REGPACKET));
    ASSERT_TRUE(load("<FunctionCfg><RegisterEnable>01</RegisterEnable></FunctionCfg>"));
    EXPECT_FALSE(w.Checked(MODE_PAGE_TCP, IDC_TCP_CHK_REGPACKET));
    ASSERT_TRUE(load("<SocketCfg><SockType>tcp</SockType></SocketCfg>"));
    EXPECT_EQ(w.CurSel(IDC_COMBO_TYPE), -1) << "a type outside the list clears the selection";

    // A group after MQTTCfg, or of another name, changes nothing.
    w.SetText(kMain, IDC_EDIT_APN, "kept");
    ASSERT_TRUE(
        load("<NetworkCfg><APN>kept</APN></NetworkCfg><MQTTCfg/><Extra><APN>x</APN></Extra>"
             "<NetworkCfg><APN>second</APN></NetworkCfg>"));
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "kept");
    EXPECT_EQ(CountLines(w.h.Log(), configfile::kMsgLoadDone), 0) << "LoadXmlConfig does not log its success";
}

TEST(ConfigFileWindow, LongTcpValuesAreCutAtACharacterBoundaryAndLogged) {
    Window w;
    const std::string path = ProgramFile("long.xml");
    // 48 ASCII bytes and a three-byte character: the character would end at byte 51, past the 49
    // the address field holds, so it goes whole.
    const std::string address = std::string(48, 'a') + "参";
    std::ofstream(path) << Doc("<SocketCfg><IPAddr>" + address +
                               "</IPAddr><Port>12345678901</Port></SocketCfg>"
                               "<NetworkCfg><APN>" +
                               std::string(300, 'x') + "</APN></NetworkCfg>");
    ASSERT_TRUE(w.Load(path));
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_ADDR1), std::string(48, 'a'));
    EXPECT_EQ(w.Text(MODE_PAGE_TCP, IDC_TCP_PORT1), "123456789");
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), std::string(300, 'x')) << "an edit without a field keeps it all";
    const std::string log = w.h.Log();
    EXPECT_EQ(CountLines(log, "XML value IPAddr is longer than 49 bytes and was cut!"), 1) << log;
    EXPECT_EQ(CountLines(log, "XML value Port is longer than 9 bytes and was cut!"), 1);
}

TEST(ConfigFileWindow, RefusedFilesChangeNoControl) {
    Window w;
    w.SetText(kMain, IDC_EDIT_APN, "kept");
    w.SetCurSel(IDC_COMBO_BAUDRATE, 2);
    const std::string path = ProgramFile("bad.xml");
    struct Case {
        std::string bytes;
        const char* message;
    };
    std::string deep = "<system>";
    for (int i = 0; i < 10000; ++i) {
        deep += "<a>";
    }
    const Case cases[] = {
        {"<config><NetworkCfg><APN>x</APN></NetworkCfg></config>", "无效的XML文件!"},
        {"<system><NetworkCfg><APN>x</APN></NetworkCfg>", "导入XML文件失败!"},
        {"not xml at all", "导入XML文件失败!"},
        {deep + "</system>", "导入XML文件失败!"},
    };
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::trunc) << c.bytes;
        const auto before = CountLines(w.h.Log(), c.message);
        EXPECT_FALSE(w.Load(path));
        EXPECT_EQ(CountLines(w.h.Log(), c.message), before + 1) << c.bytes.substr(0, 40);
        EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "kept");
        EXPECT_EQ(w.CurSel(IDC_COMBO_BAUDRATE), 2);
    }
    // 100 MB (sparse): refused from its size.
    std::ofstream(path, std::ios::trunc) << Doc("<NetworkCfg><APN>x</APN></NetworkCfg>");
    fs::resize_file(path, 100u * 1024 * 1024);
    EXPECT_FALSE(w.Load(path));
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "kept");
    EXPECT_FALSE(w.Load(ProgramFile("missing.xml")));
    EXPECT_EQ(CountLines(w.h.Log(), "导入XML文件失败!"), 5);
    // An import that fails logs only the failure.
    w.Import(path);
    EXPECT_EQ(CountLines(w.h.Log(), configfile::kMsgLoadDone), 0);
    EXPECT_EQ(CountLines(w.h.Log(), "导入XML文件失败!"), 6);
}

TEST(ConfigFileWindow, CancelledOrEmptyDialogsDoNothing) {
    Window w;
    w.ui.Answer("");
    w.h.Driver().Click(IDC_BTN_SAVE);
    w.Import("");
    ASSERT_TRUE(w.h.Driver().Sync());
    EXPECT_EQ(w.ui.Requests().size(), 2u);
    EXPECT_EQ(CountLines(w.h.Log(), configfile::kMsgSaveDone), 0);
    EXPECT_EQ(CountLines(w.h.Log(), configfile::kMsgSaveFailed), 0);
    EXPECT_EQ(CountLines(w.h.Log(), "导入XML文件失败!"), 0);
    EXPECT_TRUE(w.ui.Boxes().empty());
}

TEST(ConfigFileWindow, SaveOverAnExistingFileAndIntoAMissingDirectory) {
    Window w;
    const std::string path = ProgramFile("existing.xml");
    std::ofstream(path) << "old content";
    w.SetText(kMain, IDC_EDIT_APN, "new apn");
    w.ui.Answer(path);
    w.h.Driver().Click(IDC_BTN_SAVE);
    ASSERT_TRUE(w.h.Driver().Sync());
    EXPECT_NE(testsupport::ReadFile(path).find("<APN>new apn</APN>"), std::string::npos);

    // The target cannot be created: the file-error box names it, nothing is logged.
    const std::string missing = ProgramFile("no/such/dir/x.xml");
    w.ui.Answer(missing);
    w.h.Driver().Click(IDC_BTN_SAVE);
    ASSERT_TRUE(w.h.Driver().Sync());
    const auto boxes = w.ui.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(missing), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, "Marlinq");
    EXPECT_EQ(CountLines(w.h.Log(), configfile::kMsgSaveDone), 1);
    EXPECT_EQ(CountLines(w.h.Log(), configfile::kMsgSaveFailed), 0);
    EXPECT_FALSE(fs::exists(missing));
}

TEST(ConfigFileWindow, ScratchContainerThatCannotBeCreatedFailsTheSave) {
    Window w;
    std::vector<std::string> lines;
    const std::string target = ProgramFile("target.xml");
    std::ofstream(target) << "old";
    const bool saved = w.h.On([&](CMarlinqDlg& d) {
        configfile::CConfigXml xml(
            {d.MainControls(), d.PageControls(MODE_PAGE_TCP), d.PageControls(MODE_PAGE_MQTT)},
            [&](const std::string& line) { lines.push_back(line); },
            [&](const std::string& box) { lines.push_back("box: " + box); },
            ProgramFile("no/dir/CompoundFile.cmp"));
        return xml.SaveXmlConfig(target) != fw::FALSE;
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(lines, std::vector<std::string>{"生成XML文件失败!"});
    EXPECT_EQ(testsupport::ReadFile(target), "old");
}

TEST(ConfigFileWindow, StartLoadsConfigXmlAndCloseWritesItBack) {
    const std::string config = ProgramFile("Config.xml");
    std::ofstream(config) << Doc(
        "<NetworkCfg><APN>from start</APN></NetworkCfg>"
        "<SerialCfg><DataBits>7</DataBits></SerialCfg>");
    {
        Window w;
        EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "from start");
        EXPECT_EQ(w.CurSel(IDC_COMBO_BAUDRATE), 9) << "no BaudRate: the default stays";
        w.SetText(kMain, IDC_EDIT_APN, "at exit");
        ASSERT_TRUE(w.h.Close());
        // The window is gone; its log is what the view was told.
        std::string log;
        {
            std::lock_guard lock(w.h.events.mutex);
            for (const auto& c : w.h.events.changes) {
                if (c.id == IDC_EDIT_LOG && c.what == fw::ControlChange::What::TextAppended) {
                    log += c.text;
                }
            }
        }
        EXPECT_EQ(CountLines(log, configfile::kMsgSaveDone), 1) << log;
        EXPECT_EQ(CountLines(log, "导入XML文件失败!"), 0) << "the start-up load logs nothing";
    }
    const std::string written = testsupport::ReadFile(config);
    EXPECT_NE(written.find("<APN>at exit</APN>"), std::string::npos) << written;
    EXPECT_NE(written.find("<DataBits>8</DataBits>"), std::string::npos);
    EXPECT_NE(written.find("<BaudRate>115200</BaudRate>"), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::current_path() / "CompoundFile.cmp")) << "the scratch container stays";
}

TEST(ConfigFileWindow, NoConfigXmlAtStartIsSilentAndKeepsTheDefaults) {
    Window w;
    EXPECT_FALSE(fs::exists(ProgramFile("Config.xml")));
    EXPECT_EQ(w.CurSel(IDC_COMBO_BAUDRATE), 9);
    EXPECT_EQ(w.Text(kMain, IDC_EDIT_APN), "");
    const auto lines = w.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "导入XML文件失败!"), 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Scanning equipments...");
}

}  // namespace
}  // namespace marlinq::test
