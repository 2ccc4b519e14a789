// The virtual devices of the device folder added to what the OS lists: serial ports and port names
// after the OS's own, ADB interfaces in their own list, each port name once.
#include "platform/present_devices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/virtual_devices.h"

namespace {

class PresentDevices : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(platform::VirtualDeviceDirectory());
        // The node a device file names must exist; a plain file of the test stands for the terminal.
        // Its folder is this process's own: test programs run side by side.
        m_node = (std::filesystem::temp_directory_path() /
                  ("marlinq-present-node-" + std::to_string(std::random_device{}())))
                     .string();
        std::filesystem::create_directories(m_node + ".d");
        m_node += ".d/tty";
        std::fclose(std::fopen(m_node.c_str(), "w"));
    }
    void TearDown() override {
        std::filesystem::remove_all(platform::VirtualDeviceDirectory());
        std::filesystem::remove_all(std::filesystem::path(m_node).parent_path());
    }

    void Announce(const std::string& name, int com, bool adb = false, const std::string& node = {}) {
        platform::VirtualDevice dev;
        dev.path = node.empty() ? m_node : node;
        dev.com = com;
        dev.adb = adb;
        dev.friendly =
            (adb ? "Simulated DTU ADB Interface" : "Simulated DTU AT Port (COM" + std::to_string(com) + ")");
        dev.hwids = {adb ? "USB\\VID_1E0E&PID_9001&MI_06" : "USB\\VID_1E0E&PID_9001&MI_00"};
        ASSERT_FALSE(platform::WriteVirtualDevice(name, dev, false).empty());
    }

    static std::vector<int> Coms(const std::vector<platform::PresentSerialDevice>& devices) {
        std::vector<int> coms;
        for (const auto& dev : devices) {
            coms.push_back(dev.com);
        }
        return coms;
    }

    std::string m_node;
};

TEST_F(PresentDevices, VirtualSerialPortsFollowTheOsDevicesInFileOrderAndAdbInterfacesStayApart) {
    Announce("b-port", 205);
    Announce("a-port", 204);
    Announce("c-adb", 0, true);
    const std::vector<platform::PresentSerialDevice> os = {
        {"USB Serial (COM3)", {"USB\\VID_0403"}, 3, "/dev/ttyUSB0"}};

    const auto devices = platform::WithVirtualSerialDevices(os, platform::ListVirtualDevices());
    ASSERT_EQ(Coms(devices), (std::vector<int>{3, 204, 205}));
    EXPECT_EQ(devices[1].friendly, "Simulated DTU AT Port (COM204)");
    EXPECT_EQ(devices[1].hwids, std::vector<std::string>{"USB\\VID_1E0E&PID_9001&MI_00"});
    EXPECT_EQ(devices[1].node, m_node);

    const auto adb = platform::WithVirtualAdbInterfaces({{"Android ADB Interface", {"USB\\VID_18D1"}}},
                                                        platform::ListVirtualDevices());
    ASSERT_EQ(adb.size(), 2u);
    EXPECT_EQ(adb[0].friendly, "Android ADB Interface");
    EXPECT_EQ(adb[1].friendly, "Simulated DTU ADB Interface");
    EXPECT_EQ(adb[1].hwids, std::vector<std::string>{"USB\\VID_1E0E&PID_9001&MI_06"});
}

TEST_F(PresentDevices, APortNameIsListedOnceWhateverAnnouncesItAndOnlyWithANumber) {
    Announce("a", 7);  // the OS knows COM7 already
    Announce("b", 210);
    Announce("c", 210);        // a second file for the same port
    Announce("d", 0);          // no COM number
    Announce("e", 211, true);  // an ADB interface names no port
    EXPECT_EQ(platform::WithVirtualPortNames({"COM1", "COM7"}, platform::ListVirtualDevices()),
              (std::vector<std::string>{"COM1", "COM7", "COM210"}));
}

TEST_F(PresentDevices, ADeviceWhoseNodeIsGoneIsNotPresent) {
    Announce("gone", 220, false, m_node + "-missing");
    Announce("here", 221);
    EXPECT_EQ(Coms(platform::WithVirtualSerialDevices({}, platform::ListVirtualDevices())),
              std::vector<int>{221});
    EXPECT_EQ(platform::WithVirtualPortNames({}, platform::ListVirtualDevices()),
              std::vector<std::string>{"COM221"});
}

TEST_F(PresentDevices, TheListsOfThisMachineHoldTheAnnouncedDevicesOnce) {
    Announce("a", 230);
    Announce("b", 230);
    Announce("c", 0, true);
    const auto devices = platform::ListPresentSerialDevices();
    EXPECT_EQ(std::count_if(devices.begin(), devices.end(), [](const auto& d) { return d.com == 230; }), 2)
        << "two files, two devices";
    const auto names = platform::ListSerialPortNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "COM230"), 1);
    const auto adb = platform::ListPresentAdbInterfaces();
    EXPECT_EQ(std::count_if(adb.begin(), adb.end(),
                            [](const auto& a) { return a.friendly == "Simulated DTU ADB Interface"; }),
              1);
}

}  // namespace
