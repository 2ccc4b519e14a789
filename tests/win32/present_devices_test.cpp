// The Win32 device layer under Wine: virtual device files in the local application data folder
// are listed as present serial ports and port names, and their arrival and removal reach the
// device-change monitor.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/device_change.h"
#include "platform/present_devices.h"
#include "platform/virtual_devices.h"

namespace {

class Win32Devices : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(platform::VirtualDeviceDirectory());
        // The node a virtual device names must exist; a plain file stands for the terminal here.
        m_node = (std::filesystem::temp_directory_path() / "marlinq-node").string();
        std::ofstream(m_node) << "";
    }
    void TearDown() override { std::filesystem::remove_all(platform::VirtualDeviceDirectory()); }

    std::string Announce(const std::string& name, int com, bool adb = false) {
        platform::VirtualDevice dev;
        dev.path = m_node;
        dev.com = com;
        dev.adb = adb;
        dev.friendly = "Simulated DTU AT Port (COM" + std::to_string(com) + ")";
        dev.hwids = {"USB\\VID_1E0E&PID_9001&MI_00"};
        return platform::WriteVirtualDevice(name, dev, false);
    }

    std::string m_node;
};

TEST_F(Win32Devices, DeviceFilesLiveInTheLocalApplicationData) {
    const char* local = std::getenv("LOCALAPPDATA");
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(platform::VirtualDeviceDirectory(), std::string(local) + "\\marlinq\\devices\\");
}

TEST_F(Win32Devices, AnnouncedPortIsListedWithItsNameAndNumber) {
    ASSERT_FALSE(Announce("dtu", 201).empty());
    ASSERT_FALSE(Announce("adb", 0, true).empty());
    const auto devices = platform::ListPresentSerialDevices();
    const auto it = std::find_if(devices.begin(), devices.end(), [](const auto& d) { return d.com == 201; });
    ASSERT_NE(it, devices.end());
    EXPECT_EQ(it->friendly, "Simulated DTU AT Port (COM201)");
    EXPECT_EQ(it->hwids, std::vector<std::string>{"USB\\VID_1E0E&PID_9001&MI_00"});

    const auto names = platform::ListSerialPortNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "COM201"), 1);
    EXPECT_EQ(platform::ListPresentAdbInterfaces().size(), 1u);
}

TEST_F(Win32Devices, MonitorReportsArrivalAndRemovalOfAnAnnouncedPort) {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<platform::DeviceChange> seen;
    platform::DeviceChangeMonitor monitor;
    ASSERT_TRUE(monitor.Start([&](const platform::DeviceChange& change) {
        std::lock_guard<std::mutex> guard(lock);
        seen.push_back(change);
        changed.notify_all();
    }));
    const auto waitFor = [&](std::size_t count) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(20), [&] { return seen.size() >= count; });
    };
    const std::string file = Announce("dtu", 202);
    ASSERT_TRUE(waitFor(1));
    platform::RemoveVirtualDevice(file);
    ASSERT_TRUE(waitFor(2));
    monitor.Stop();
    EXPECT_EQ(seen[0].event, platform::kDeviceArrival);
    EXPECT_EQ(seen[0].devType, platform::kDevTypePort);
    EXPECT_EQ(seen[0].name, "COM202");
    EXPECT_EQ(seen[1].event, platform::kDeviceRemoveComplete);
    EXPECT_EQ(seen[1].name, "COM202");
}

}  // namespace

namespace {

TEST(Win32DeviceNodes, AUnixTerminalUnderWineCountsAsPresent) {
    std::error_code ec;
    if (!std::filesystem::is_directory("Z:\\dev", ec)) {
        GTEST_SKIP() << "not under Wine: no Unix device folder on Z:";
    }
    // Wine lists the character devices of /dev but reports no attributes for them.
    EXPECT_TRUE(platform::VirtualDeviceNodeExists("Z:\\dev\\null"));
    EXPECT_FALSE(platform::VirtualDeviceNodeExists("Z:\\dev\\marlinq-no-such-node"));
    EXPECT_FALSE(platform::VirtualDeviceNodeExists("Z:\\dev\\nul?"));  // a pattern is no name
    EXPECT_FALSE(platform::VirtualDeviceNodeExists(""));
}

}  // namespace
