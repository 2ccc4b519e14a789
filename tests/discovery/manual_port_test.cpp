// The port list and the manual port against fake controls and a fake device source; opening
// uses the simulator, so the port is a real pseudo-terminal.
#include "discovery/manual_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>
#include <thread>

#include "platform/device_change.h"
#include "tests/support/sim_fixture.h"

namespace {

using discovery::ManualPortPanel;

// The panel's ids, as the main window hands them in.
constexpr discovery::PortPanelIds kIds{52, 54, 55, 131, 130};

// Controls by id; the panel uses only the combo box, the captions and the icon.
class FakeControls : public fw::IControlAccess {
  public:
    void ResetContent(int id) override {
        combos[id].clear();
        selection[id] = -1;
    }
    void AddString(int id, const std::string& text) override { combos[id].push_back(text); }
    int GetCount(int id) const override { return static_cast<int>(Combo(id).size()); }
    std::string GetLBText(int id, int index) const override { return Combo(id).at(index); }
    int GetCurSel(int id) const override {
        auto it = selection.find(id);
        return it != selection.end() ? it->second : -1;
    }
    void SetCurSel(int id, int index) override { selection[id] = index; }
    void SetWindowText(int id, const std::string& text) override { texts[id] = text; }
    void SetIcon(int id, int icon) override { icons[id] = icon; }
    void EnableWindow(int id, bool enable) override { enabled[id] = enable; }
    std::string GetWindowText(int id) const override {
        auto it = texts.find(id);
        return it != texts.end() ? it->second : std::string();
    }
    int GetCheck(int) const override { return 0; }
    void SetCheck(int, int) override {}
    void SelectItemText(int, const std::string&) override {}
    fw::BOOL IsWindowEnabled(int id) const override {
        auto it = enabled.find(id);
        return it != enabled.end() && it->second ? fw::TRUE : fw::FALSE;
    }
    void ShowWindow(int, bool) override {}
    void FocusAtEnd(int) override {}

    std::string Selected(int id) const {
        const int sel = GetCurSel(id);
        return sel >= 0 ? Combo(id).at(sel) : std::string();
    }
    const std::vector<std::string>& Combo(int id) const {
        static const std::vector<std::string> empty;
        auto it = combos.find(id);
        return it != combos.end() ? it->second : empty;
    }

    std::map<int, std::vector<std::string>> combos;
    std::map<int, int> selection;
    std::map<int, std::string> texts;
    std::map<int, int> icons;
    std::map<int, bool> enabled;
};

class ManualPortTest : public testsupport::SimulatorTest {
  protected:
    ManualPortPanel& Panel() {
        if (!m_panel) {
            discovery::PortSources sources;
            sources.serialPortNames = [this] { return m_names; };
            sources.presentDevices = [this]() -> std::optional<std::vector<platform::PresentSerialDevice>> {
                if (m_listFails) {
                    return std::nullopt;
                }
                return m_devices;
            };
            m_panel = std::make_unique<ManualPortPanel>(
                discovery::ManualPortDeps{m_controls, kIds, m_port, m_autoPort,
                                          [this](const std::string& line) {
                                              std::lock_guard<std::mutex> lock(m_logMutex);
                                              m_log.push_back(line);
                                          },
                                          [this](discovery::DeviceEvent event) {
                                              std::lock_guard<std::mutex> lock(m_logMutex);
                                              m_events.push_back(event);
                                          },
                                          sources});
        }
        return *m_panel;
    }
    std::vector<discovery::DeviceEvent> Events() {
        std::lock_guard<std::mutex> lock(m_logMutex);
        return m_events;
    }
    void Fill() {
        m_controls.ResetContent(kIds.portCombo);
        Panel().EnumRegistryPorts();
        Panel().FillPortList();
    }
    std::string SimEntry() const { return "(COM" + std::to_string(Com()) + ")"; }
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(m_logMutex);
        return m_log;
    }

    FakeControls m_controls;
    atlink::CSerialPort m_port;
    std::atomic<atlink::BOOL> m_autoPort{atlink::TRUE};
    std::vector<std::string> m_names;
    std::vector<platform::PresentSerialDevice> m_devices;
    bool m_listFails = false;
    std::mutex m_logMutex;
    std::vector<std::string> m_log;
    std::vector<discovery::DeviceEvent> m_events;
    std::unique_ptr<ManualPortPanel> m_panel;
};

TEST_F(ManualPortTest, ListShowsDevicesAndRegistryOnlyPortsAndSelectsTheFirst) {
    m_names = {"COM4"};
    Fill();
    EXPECT_EQ(m_controls.Combo(kIds.portCombo), std::vector<std::string>{"(COM4)"});
    EXPECT_EQ(m_controls.Selected(kIds.portCombo), "(COM4)");

    m_names = {"COM7", "COM5", "COM9"};
    m_devices = {{"Serial Device (X) (COM7)", {}, 7, ""},
                 {"Sample Port (COM5)", {}, 5, ""},
                 {"Dual Bridge: Enhanced COM Port (COM9)", {}, 9, ""}};
    Fill();
    EXPECT_EQ(m_controls.Combo(kIds.portCombo),
              (std::vector<std::string>{"(COM5) Sample Port ", "(COM7)",
                                        "Enhanced COM Port (COM9) Dual Bridge: "}));
    EXPECT_EQ(m_controls.Selected(kIds.portCombo), "(COM5) Sample Port ");

    m_listFails = true;  // no device list: not even the registry names are shown
    Fill();
    EXPECT_TRUE(m_controls.Combo(kIds.portCombo).empty());
    EXPECT_EQ(m_controls.GetCurSel(kIds.portCombo), -1);
}

TEST_F(ManualPortTest, OpenAndToggleCloseTheSelectedPort) {
    m_names = {"COM1", "COM" + std::to_string(Com())};
    Fill();
    m_controls.SetCurSel(kIds.portCombo, 1);
    ASSERT_EQ(m_controls.Selected(kIds.portCombo), SimEntry());

    Panel().OnBtnOpenPort();
    EXPECT_EQ(m_autoPort.load(), atlink::FALSE);
    EXPECT_TRUE(m_port.IsOpen());
    EXPECT_EQ(Panel().ManualPort(), Com());
    EXPECT_EQ(m_controls.texts[kIds.toggle], "Close Port");
    EXPECT_EQ(m_controls.icons[kIds.icon], kIds.iconOpen);
    EXPECT_EQ(Events(), std::vector{discovery::DeviceEvent::ManualPortOpened});

    Panel().OnBtnOpenPort();
    EXPECT_EQ(m_autoPort.load(), atlink::TRUE);
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(m_controls.texts[kIds.toggle], "Open Port");
    EXPECT_EQ(m_controls.icons[kIds.icon], kIds.iconClosed);
    EXPECT_EQ(Events(), (std::vector{discovery::DeviceEvent::ManualPortOpened,
                                     discovery::DeviceEvent::ManualPortClosed}));
    const std::string n = std::to_string(Com());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Port " + n + " opened!", "Port " + n + " closed!"}));
}

TEST_F(ManualPortTest, APortInUseLogsTheFailureAndStaysAutomatic) {
    atlink::CSerialPort holder;
    ASSERT_TRUE(holder.OpenPort(Com()));
    m_names = {"COM" + std::to_string(Com())};
    Fill();
    Panel().OnBtnOpenPort();
    EXPECT_EQ(m_autoPort.load(), atlink::TRUE);
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(m_controls.texts[kIds.toggle], "Open Port");
    EXPECT_EQ(m_controls.icons[kIds.icon], kIds.iconClosed);
    EXPECT_EQ(Events(), std::vector{discovery::DeviceEvent::ManualPortClosed});  // as a toggle that closes
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0], "Port " + std::to_string(Com()) +
                              " open failed\xEF\xBC\x8C"
                              "Please check whether the port occupied!");
    holder.ClosePort();
}

TEST_F(ManualPortTest, RefreshKeepsOrClosesTheManualPort) {
    m_names = {"COM" + std::to_string(Com())};
    Fill();
    Panel().OnBtnOpenPort();
    ASSERT_EQ(m_autoPort.load(), atlink::FALSE);

    // Another entry that merely contains the key still counts: the manual port stays open.
    m_names = {"COM" + std::to_string(Com()) + "0", "COM3"};
    Panel().RefreshPortList();
    EXPECT_EQ(m_controls.Selected(kIds.portCombo), "(COM" + std::to_string(Com()) + "0)");
    EXPECT_EQ(m_autoPort.load(), atlink::FALSE);

    m_names = {"COM3"};
    Panel().RefreshPortList();
    EXPECT_EQ(m_autoPort.load(), atlink::TRUE);
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(Lines().back(), "Port " + std::to_string(Com()) + " closed!");
    EXPECT_EQ(Panel().ManualPort(), Com());  // kept for the next refresh
}

TEST_F(ManualPortTest, DeviceChangeRefreshesOnPortArrivalWithADigitAndOnRemoval) {
    m_names = {"COM4"};
    Fill();
    m_names = {"COM4", "COM6"};
    const auto entries = [&] { return m_controls.Combo(kIds.portCombo).size(); };
    Panel().HandleDeviceChange(platform::kDeviceArrival, platform::kDevTypePort, "VPORT0");
    EXPECT_EQ(entries(), 1u);
    Panel().HandleDeviceChange(platform::kDeviceArrival, platform::kDevTypeInterface, "COM6");
    EXPECT_EQ(entries(), 1u);
    Panel().HandleDeviceChange(platform::kDeviceArrival, platform::kDevTypePort, nullptr);
    EXPECT_EQ(entries(), 1u);
    Panel().HandleDeviceChange(platform::kDeviceArrival, platform::kDevTypePort, "COM6");
    EXPECT_EQ(entries(), 2u);

    m_names = {"COM4"};
    Panel().HandleDeviceChange(platform::kDeviceRemoveComplete, platform::kDevTypePort, "VPORT0");
    EXPECT_EQ(entries(), 1u);
    Panel().HandleDeviceChange(0x8003, platform::kDevTypePort, "COM6");  // other events: ignored
    m_names = {"COM4", "COM8"};
    Panel().HandleDeviceChange(0x8003, platform::kDevTypePort, "COM8");
    EXPECT_EQ(entries(), 1u);
    // A name too long for the arrival buffer refreshes whatever its first nine characters hold.
    Panel().HandleDeviceChange(platform::kDeviceArrival, platform::kDevTypePort, "VERYLONGNAME1");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(ManualPortTest, CloseManualPortWaitsForATransactionAndReportsNoEvent) {
    m_names = {"COM" + std::to_string(Com())};
    Fill();
    Panel().CloseManualPort();  // automatic: nothing happens
    EXPECT_TRUE(Lines().empty());

    Panel().OnBtnOpenPort();
    ASSERT_TRUE(m_port.IsOpen());
    auto transaction = std::make_unique<std::unique_lock<std::recursive_mutex>>(m_port.LockTransaction());
    std::atomic<bool> closed{false};
    std::thread worker([&] {  // the Reset DTU worker
        Panel().CloseManualPort();
        closed.store(true);
    });
    // A command on the port while the worker wants to close it: the command runs whole, and the
    // port is closed only after it.
    EXPECT_EQ(m_port.QueryCnmp(), "2");
    EXPECT_FALSE(closed.load());
    EXPECT_TRUE(m_port.IsOpen());
    transaction.reset();
    worker.join();
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(m_autoPort.load(), atlink::TRUE);
    EXPECT_EQ(Lines().back(), "Port " + std::to_string(Com()) + " Closed!");
    EXPECT_EQ(m_controls.texts[kIds.toggle], "Open Port");
    EXPECT_EQ(m_controls.icons[kIds.icon], kIds.iconClosed);
    // The buttons are left as they were: only the opening is reported.
    EXPECT_EQ(Events(), std::vector{discovery::DeviceEvent::ManualPortOpened});
}

}  // namespace
