// The ADB transfer through the main window: the factory reset and the file download against the
// module simulator and a fake adb, the scanner's posted push, the window's ADB time-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "configfile/config_document.h"
#include "dialog_harness.h"
#include "platform/app_directory.h"
#include "platform/virtual_devices.h"
#include "simulator/dtu_simulator.h"
#include "tests/support/adb_module.h"
#include "tests/support/fake_adb.h"
#include "tests/support/read_file.h"
#include "ui/resource.h"

namespace marlinq::test {
namespace {

using testsupport::FakeAdbDir;
using testsupport::StartAdbModule;

constexpr double kScale = 0.01;  // the 20 s reset wait takes 0.2 s, the 30 s time-out 0.3 s
const std::string kTimeout = "ADB cmd timeout, please check ADB device and retry later!";
const std::string kScanning = "Scanning equipments...";

// Answers the window's file dialog with a path chosen by the test.
struct ChoosingServices : fw::IUiServices {
    int MessageBox(fw::HWND, const std::string&, const std::string&, fw::UINT) override { return fw::IDOK; }
    std::string FileDialog(fw::HWND, const fw::FileDialogRequest& r) override {
        request = r;
        return chosen;
    }
    std::string chosen;
    fw::FileDialogRequest request;
};

// The factory file as the build places it beside the program.
std::string ShippedDefaultXml() {
    return platform::ExecutableDirectory() + "Default.xml";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Only the lines that are in `wanted`, in log order.
std::vector<std::string> Only(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
    std::vector<std::string> out;
    for (const auto& l : lines) {
        if (std::find(wanted.begin(), wanted.end(), l) != wanted.end()) {
            out.push_back(l);
        }
    }
    return out;
}

TEST(DefaultXml, TheShippedFileIsInTheParameterFileFormatAndLoads) {
    configfile::ConfigValues values;
    ASSERT_EQ(configfile::ReadConfigFile(ShippedDefaultXml(), &values), configfile::ConfigReadOutcome::kRead)
        << ShippedDefaultXml();
    EXPECT_EQ(configfile::WriteConfigDocument(values), ReadText(ShippedDefaultXml()))
        << "written exactly as the tool writes a parameter file";
    const std::pair<const char*, const char*> some[] = {{"BaudRate", "115200"},
                                                        {"SockType", "TCP"},
                                                        {"APN", "internet"},
                                                        {"ConnectState", "1"},
                                                        {"PORT", "1883"}};
    for (const auto& [name, value] : some) {
        bool found = false;
        for (std::size_t i = 0; i < configfile::kConfigLeafCount; ++i) {
            if (std::string(configfile::ConfigLeaves()[i].name) == name) {
                EXPECT_EQ(values[i], value) << name;
                found = true;
            }
        }
        EXPECT_TRUE(found) << name;
    }
}

// The window with its real scanner, adb and "Default.xml" in a program directory of the test's.
class AdbFlows : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetAppDirectoryOverride(dir.AppDir());  // the next test gets its own again
        // fake adb lists a device while the simulator's ADB interface is registered
        dir.Write("devices.sim", platform::VirtualDeviceDirectory());
        dir.Write("push.out", testsupport::kPushMb);
        std::filesystem::copy_file(ShippedDefaultXml(), dir.AppDir() + "Default.xml");
    }

    void Open() { h = std::make_unique<DialogHarness<CMarlinqDlg>>(kScale); }
    void WaitReady() {
        ASSERT_TRUE(Eventually([&] { return h->Driver().Enabled(IDC_BTN_GET); })) << h->Log();
    }
    template <class F>
    void OnWindow(F fn) {
        h->On([fn](CMarlinqDlg& d) {
            fn(d);
            return 0;
        });
    }
    std::vector<std::string> Lines() { return LogLines(h->Log()); }
    // The log from the first line equal to `from` on.
    std::vector<std::string> LinesFrom(const std::string& from) {
        auto lines = Lines();
        auto it = std::find(lines.begin(), lines.end(), from);
        return {it, lines.end()};
    }
    bool WaitLine(const std::string& line, int count = 1) {
        return Eventually([&] { return CountLines(h->Log(), line) >= count; });
    }
    // The adb calls, each as "<argc> [args]...".
    std::vector<std::string> Calls() { return dir.Calls(); }
    // How many control changes the window has reported so far.
    std::size_t ChangeCount() {
        h->Driver().Sync();
        std::lock_guard lock(h->events.mutex);
        return h->events.changes.size();
    }
    // The ids whose enable state changed from change number `from` on, as (id, enabled) in order.
    std::vector<std::pair<int, bool>> EnableChangesSince(std::size_t from) {
        h->Driver().Sync();
        std::lock_guard lock(h->events.mutex);
        std::vector<std::pair<int, bool>> out;
        for (std::size_t i = from; i < h->events.changes.size(); ++i) {
            const auto& c = h->events.changes[i];
            if (c.hwnd == h->Hwnd() && c.what == fw::ControlChange::What::Enabled) {
                out.emplace_back(c.id, c.value != 0);
            }
        }
        return out;
    }

    FakeAdbDir dir{"flows"};
    ChoosingServices services;  // outlives the window
    std::unique_ptr<DialogHarness<CMarlinqDlg>> h;
};

TEST_F(AdbFlows, AdbAlreadyOnPushesAtOnceWithoutPauseOrScanAndNoHide) {
    auto module = StartAdbModule(true);
    Open();
    WaitReady();
    const std::size_t before = ChangeCount();
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnFactoryReset(); });
    const auto disabled = EnableChangesSince(before);
    ASSERT_TRUE(WaitLine("ADB reboot...")) << h->Log();
    ASSERT_TRUE(WaitLine(kScanning, 2));
    const std::string path = dir.AppDir() + "Default.xml";
    const std::vector<std::string> expected = {
        "Restoring factory Settings...",
        "Enable ADB to download default XML file...",
        "Enumerating ADB equipments...",
        "List of devices attached\nSIM0001\tdevice\n\n",
        "ADB PUSH XML...",
        testsupport::kPushMb,
        "ADB PUSH XML successfully!",
        "ADB reboot...",
        kScanning,
    };
    auto lines = LinesFrom("Restoring factory Settings...");
    lines.resize(std::min(lines.size(), expected.size()));
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"1 [devices]", "3 [push] [" + path + "] [/cache]", "1 [reboot]"}));
    EXPECT_EQ(h->Driver().Text(IDC_EDIT_XML_PATH), path);
    EXPECT_EQ(h->Driver().Text(IDC_EDIT_APN), "internet") << "the controls show the factory values";
    EXPECT_EQ(h->PageDriver(MODE_PAGE_MQTT).Text(IDC_MQTT_CLIENT_ID), "dtu-01");
    std::vector<std::pair<int, bool>> order;
    for (int id : {IDC_BTN_SCAN_PORT, IDC_BTN_GET, IDC_BTN_DOWNLOAD, IDC_BTN_READ_EXT, IDC_BTN_SET_EXT,
                   IDC_BTN_RESET_DTU, IDC_BTN_FACTORY_RESET, IDC_BTN_XML_DOWNLOAD}) {
        order.emplace_back(id, false);
    }
    EXPECT_EQ(disabled, order) << "disabled in this order when the push began";
    // After the push the scan finds the module and enables the buttons again.
    ASSERT_TRUE(Eventually([&] { return h->Driver().Enabled(IDC_BTN_FACTORY_RESET); }));
}

TEST_F(AdbFlows, AnInvalidDefaultXmlIsReportedAndPushedAllTheSame) {
    auto module = StartAdbModule(true);
    std::ofstream(dir.AppDir() + "Default.xml", std::ios::trunc)
        << "<?xml version=\"1.0\"?><config><APN>x</APN></config>";
    Open();
    WaitReady();
    const std::string apn = h->Driver().Text(IDC_EDIT_APN);
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnFactoryReset(); });
    ASSERT_TRUE(WaitLine("ADB PUSH XML successfully!")) << h->Log();
    const auto lines = LinesFrom("Restoring factory Settings...");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "无效的XML文件!");
    EXPECT_EQ(lines[2],
              "cannot load " + dir.AppDir() + "Default.xml: the root element is <config>, not <system>");
    EXPECT_EQ(lines[3], "Enable ADB to download default XML file...");
    EXPECT_EQ(h->Driver().Text(IDC_EDIT_APN), apn) << "nothing of the file reached the controls";
    EXPECT_EQ(Calls()[1], "3 [push] [" + dir.AppDir() + "Default.xml] [/cache]");
}

TEST_F(AdbFlows, AdbOffIsEnabledTheModuleResetAndThePushFollowsTheScan) {
    auto module = StartAdbModule(false);
    Open();
    WaitReady();
    h->Driver().Sync();
    OnWindow([&](CMarlinqDlg& d) {
        d.MainControls().SetWindowText(IDC_EDIT_XML_PATH, dir.AppDir() + "Default.xml");
        d.Adb().Commands().OnBtnXmlDownload();
    });
    ASSERT_TRUE(WaitLine("ADB reboot...")) << h->Log();
    ASSERT_TRUE(WaitLine(kScanning, 3)) << h->Log();
    const std::string ready = "Equipment ready [AT:COM" + std::to_string(module->Com()) + "] for operation!";
    ASSERT_TRUE(WaitLine(ready, 2)) << h->Log();
    const std::vector<std::string> expected = {
        "Downloading XML file...",
        "Enable ADB to download XML file...",
        "Enable ADB successfully!",
        "The module is resetting. Please wait...",
        kScanning,
        "Push XML file to cache ...",
        "Enumerating ADB equipments...",
        "ADB PUSH XML...",
        "ADB PUSH XML successfully!",
        "Hide ADB...",
        "Hide ADB successfully!",
        "ADB reboot...",
        kScanning,
        ready,
    };
    EXPECT_EQ(Only(LinesFrom("Downloading XML file..."), expected), expected) << h->Log();
    EXPECT_FALSE(module->AdbEnabled()) << "ADB was switched off again";
    EXPECT_TRUE(h->Dialog().Adb().Transfer().ModuleReset());
    EXPECT_EQ(h->Dialog().Session().PendingPush(), 0);
}

TEST_F(AdbFlows, EnablingThatFailsDropsTheRequestAndTheScanAnnouncesTheModule) {
    auto module = StartAdbModule(false);
    module->SetReply("AT+CUSBADB=1", "\r\nERROR\r\n");
    Open();
    WaitReady();
    OnWindow([&](CMarlinqDlg& d) {
        d.MainControls().SetWindowText(IDC_EDIT_XML_PATH, dir.AppDir() + "Default.xml");
        d.Adb().Commands().OnBtnXmlDownload();
    });
    ASSERT_TRUE(WaitLine("Enable ADB failed, check that the module is ready or the AT port is occupied!"))
        << h->Log();
    const std::string ready = "Equipment ready [AT:COM" + std::to_string(module->Com()) + "] for operation!";
    ASSERT_TRUE(WaitLine(ready, 2)) << h->Log();
    ASSERT_TRUE(Eventually([&] { return h->Driver().Enabled(IDC_BTN_XML_DOWNLOAD); }));
    EXPECT_EQ(h->Dialog().Session().PendingPush(), 0);
    EXPECT_TRUE(Calls().empty()) << "adb was never run";
    EXPECT_EQ(CountLines(h->Log(), "Push XML file to cache ..."), 0);
}

TEST_F(AdbFlows, WithoutAnAtPortTheRequestStaysPendingUntilTheModuleIsFound) {
    Open();
    ASSERT_TRUE(Eventually([&] { return h->Driver().Enabled(IDC_BTN_SCAN_PORT); }));  // not ready
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnFactoryReset(); });
    EXPECT_EQ(CountLines(h->Log(), "AT port not found! "), 1) << h->Log();
    EXPECT_EQ(h->Dialog().Session().PendingPush(), 1);
    for (int id : CButtonPolicy::OperationButtonIds()) {
        EXPECT_FALSE(h->Driver().Enabled(id)) << id;
    }
    auto module = StartAdbModule(true);
    h->Dialog().OnBtnScanPort();  // a later restart (Reset DTU, the ADB time-out); Scan Port is disabled
    ASSERT_TRUE(WaitLine("Push XML file to cache ...")) << h->Log();
    ASSERT_TRUE(WaitLine("ADB PUSH XML successfully!")) << h->Log();
}

TEST_F(AdbFlows, AHangingAdbIsEndedByTheWindowsTimeOut) {
    auto module = StartAdbModule(true);
    dir.Write("push.hang", "");
    dir.Remove("push.out");
    Open();
    WaitReady();
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnFactoryReset(); });
    ASSERT_TRUE(WaitLine(kTimeout)) << h->Log();
    const long child = std::stol("0" + dir.Read("push.childpid"));
    ASSERT_TRUE(Eventually([&] { return testsupport::ProcessEnded(child); })) << "the adb child was ended";
    // The scan restarts and finds the module; the worker said nothing after the time-out.
    const std::string ready = "Equipment ready [AT:COM" + std::to_string(module->Com()) + "] for operation!";
    ASSERT_TRUE(WaitLine(ready, 2)) << h->Log();
    const auto after = LinesFrom(kTimeout);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[1], kScanning);
    for (const auto& line : after) {
        EXPECT_EQ(line.find("ADB PUSH XML"), std::string::npos) << line;
        EXPECT_NE(line, "fastboot cmd of no return!");
    }
    EXPECT_EQ(h->Dialog().Adb().PushWorkerStarted(), 0);
    EXPECT_EQ(Calls().size(), 2u) << "devices and the push; no reboot";
}

TEST_F(AdbFlows, PathEditCommands) {
    Open();
    // The scanner's one line of this episode is out, so it cannot land among the commands' lines.
    ASSERT_TRUE(WaitLine("Equipment is not ready!")) << h->Log();
    // An empty path: two lines, and the edit gets the focus.
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnXmlDownload(); });
    h->Driver().Sync();
    EXPECT_EQ(LinesFrom("Downloading XML file..."),
              (std::vector<std::string>{"Downloading XML file...", "Please select XML file\xEF\xBC\x81"}));
    EXPECT_EQ(h->Thread().FocusControl(), IDC_EDIT_XML_PATH);

    // A path where no file exists.
    const std::string missing = dir.AppDir() + "no such.xml";
    OnWindow([&](CMarlinqDlg& d) {
        d.MainControls().SetWindowText(IDC_EDIT_XML_PATH, missing);
        d.Adb().Commands().OnBtnXmlDownload();
    });
    EXPECT_EQ(Lines().back(), "The XML file was not found: " + missing);
    EXPECT_EQ(h->Dialog().Adb().Transfer().XmlPath(), missing);

    // No Default.xml: the path is shown and stored, nothing is pushed.
    std::filesystem::remove(dir.AppDir() + "Default.xml");
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnFactoryReset(); });
    const std::string factory = dir.AppDir() + "Default.xml";
    EXPECT_EQ(LinesFrom("Restoring factory Settings..."),
              (std::vector<std::string>{"Restoring factory Settings...",
                                        "The default file was not found: " + factory}));
    EXPECT_EQ(h->Driver().Text(IDC_EDIT_XML_PATH), factory);
    EXPECT_EQ(h->Dialog().Adb().Transfer().XmlPath(), factory);
    EXPECT_EQ(h->Dialog().Session().PendingPush(), 0);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(AdbFlows, AFileWhoseValuesTheModuleCannotTakeIsNotPushed) {
    Open();
    ASSERT_TRUE(WaitLine("Equipment is not ready!")) << h->Log();
    const std::string shipped = testsupport::ReadFile(ShippedDefaultXml());
    const struct {
        std::string from, to, refusal;
    } cases[] = {
        {"<LogLevel>1</LogLevel>", "<LogLevel>999999999999</LogLevel>", "LogLevel must be one of 1, 2!"},
        {"<SockType>TCP</SockType>", "<SockType>FOO</SockType>",
         "SockType must be one of TCP, UDP, MQTT, HTTP(S)!"},
        {"<Port>5000</Port>", "<Port>-1</Port>", "Port must be a whole number from 1 to 65535!"},
        {"<PORT>1883</PORT>", "<PORT>70000</PORT>", "PORT must be a whole number from 1 to 65535!"},
        {"<APN>internet</APN>", "<APN>inter\"net</APN>", "APN cannot contain a double quote!"},
        {"<ResetTime>30</ResetTime>", "<ResetTime>0</ResetTime>", "ResetTime cannot be set to 0!"},
        {"<ConnectState>1</ConnectState>", "<ConnectState>yes</ConnectState>",
         "ConnectState must be 1 or 0!"},
    };
    const std::string path = dir.AppDir() + "hostile.xml";
    for (const auto& c : cases) {
        std::string file = shipped;
        ASSERT_NE(file.find(c.from), std::string::npos) << c.from;
        file.replace(file.find(c.from), c.from.size(), c.to);
        std::ofstream(path, std::ios::trunc) << file;
        OnWindow([&](CMarlinqDlg& d) {
            d.MainControls().SetWindowText(IDC_EDIT_XML_PATH, path);
            d.Adb().Commands().OnBtnXmlDownload();
        });
        EXPECT_EQ(LinesFrom("Downloading XML file...").back(), "Push refused: " + c.refusal);
        EXPECT_EQ(h->Dialog().Session().PendingPush(), 0);
    }
    EXPECT_TRUE(Calls().empty()) << "adb never ran";
}

TEST_F(AdbFlows, AChosenFileIsShownAndImportedAndTheTypedPathIsWhatIsPushed) {
    auto module = StartAdbModule(true);
    Open();
    OnWindow([&](CMarlinqDlg&) { h->Thread().SetServices(&services); });
    WaitReady();
    services.chosen = dir.AppDir() + "chosen.xml";
    std::string chosenText = ReadText(ShippedDefaultXml());
    chosenText.replace(chosenText.find("<APN>internet</APN>"), 19, "<APN>chosen.apn</APN>");
    std::ofstream(services.chosen) << chosenText;
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnXmlSelect(); });
    EXPECT_EQ(services.request.title, "Select xml file:");
    EXPECT_EQ(services.request.filter, "xml file(*.xml)|*.xml|all files(*.*)|*.*||");
    EXPECT_FALSE(services.request.save);
    EXPECT_TRUE(services.request.fileMustExist);
    EXPECT_TRUE(services.request.hideReadOnly);
    EXPECT_EQ(h->Driver().Text(IDC_EDIT_XML_PATH), services.chosen);
    EXPECT_EQ(h->Driver().Text(IDC_EDIT_APN), "chosen.apn");
    EXPECT_EQ(CountLines(h->Log(), "Selecting and importing the XML file was successful!"), 1);
    EXPECT_EQ(h->Dialog().Adb().Transfer().XmlPath(), "") << "the choice does not set the file to push";

    // The operator edits the path by hand: the typed path is pushed.
    const std::string typed = dir.AppDir() + "typed.xml";
    std::ofstream(typed) << "<system/>";
    OnWindow([&](CMarlinqDlg& d) {
        d.MainControls().SetWindowText(IDC_EDIT_XML_PATH, typed);
        d.Adb().Commands().OnBtnXmlDownload();
    });
    ASSERT_TRUE(WaitLine("ADB PUSH XML successfully!")) << h->Log();
    ASSERT_TRUE(WaitLine(kScanning, 2));
    WaitReady();
    EXPECT_EQ(Calls()[1], "3 [push] [" + typed + "] [/cache]");
    EXPECT_EQ(h->Driver().Text(IDC_EDIT_APN), "chosen.apn") << "a download does not load the file";

    // A cancelled choice changes nothing.
    services.chosen.clear();
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnXmlSelect(); });
    EXPECT_EQ(h->Driver().Text(IDC_EDIT_XML_PATH), typed);

    // A download right after a factory reset pushes the factory file again.
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnFactoryReset(); });
    ASSERT_TRUE(WaitLine("ADB PUSH XML successfully!", 2)) << h->Log();
    ASSERT_TRUE(WaitLine(kScanning, 3));
    WaitReady();
    OnWindow([](CMarlinqDlg& d) { d.Adb().Commands().OnBtnXmlDownload(); });
    ASSERT_TRUE(WaitLine("ADB PUSH XML successfully!", 3)) << h->Log();
    const std::string factory = "3 [push] [" + dir.AppDir() + "Default.xml] [/cache]";
    const auto calls = Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), factory), 2);
}

}  // namespace
}  // namespace marlinq::test
