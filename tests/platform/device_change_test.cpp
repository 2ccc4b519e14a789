// Device-change notices for virtual devices, delivered by the monitor's inotify watch.
#include "platform/device_change.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/present_devices.h"
#include "platform/virtual_devices.h"
#include "tests/support/poll.h"

namespace {

class DeviceChangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(platform::VirtualDeviceDirectory());
        ASSERT_TRUE(m_monitor.Start([this](const platform::DeviceChange& change) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_changes.push_back(change);
            m_cv.notify_all();
        }));
    }
    void TearDown() override {
        m_monitor.Stop();
        std::filesystem::remove_all(platform::VirtualDeviceDirectory());
    }

    bool WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(10), [&] { return m_changes.size() >= count; });
    }
    std::vector<platform::DeviceChange> Changes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_changes;
    }
    static platform::VirtualDevice Port(int com) {
        platform::VirtualDevice dev;
        dev.path = "/dev/null";
        dev.com = com;
        dev.friendly = "Test Port (COM" + std::to_string(com) + ")";
        dev.hwids = {"USB\\VID_1E0E&PID_9001&MI_00"};
        return dev;
    }

    platform::DeviceChangeMonitor m_monitor;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<platform::DeviceChange> m_changes;
};

}  // namespace

TEST_F(DeviceChangeTest, ArrivalAndRemovalCarryThePortName) {
    EXPECT_TRUE(std::filesystem::is_directory(platform::VirtualDeviceDirectory()));  // created
    const std::string file = platform::WriteVirtualDevice("a", Port(211), false);
    ASSERT_TRUE(WaitFor(1));
    platform::RemoveVirtualDevice(file);
    ASSERT_TRUE(WaitFor(2));
    const auto changes = Changes();
    EXPECT_EQ(changes[0].event, platform::kDeviceArrival);
    EXPECT_EQ(changes[0].devType, platform::kDevTypePort);
    EXPECT_EQ(changes[0].name, "COM211");
    EXPECT_EQ(changes[1].event, platform::kDeviceRemoveComplete);
    EXPECT_EQ(changes[1].name, "COM211");

    platform::VirtualDevice adb;
    adb.adb = true;
    adb.hwids = {"USB\\VID_1E0E&PID_9001&MI_06"};
    platform::WriteVirtualDevice("adb", adb, false);
    ASSERT_TRUE(WaitFor(3));
    EXPECT_EQ(Changes()[2].devType, platform::kDevTypeInterface);
    EXPECT_EQ(Changes()[2].name, "");
}

TEST_F(DeviceChangeTest, ARemovedDirectoryIsWatchedAgain) {
    platform::WriteVirtualDevice("a", Port(212), false);
    ASSERT_TRUE(WaitFor(1));
    std::filesystem::remove_all(platform::VirtualDeviceDirectory());
    ASSERT_TRUE(WaitFor(2));
    EXPECT_EQ(Changes()[1].event, platform::kDeviceRemoveComplete);
    // The monitor re-creates the directory; wait until it exists, then a new device is seen.
    testsupport::PollUntil([] { return std::filesystem::is_directory(platform::VirtualDeviceDirectory()); });
    platform::WriteVirtualDevice("b", Port(213), false);
    ASSERT_TRUE(WaitFor(3));
    EXPECT_EQ(Changes()[2].name, "COM213");
    EXPECT_EQ(platform::ListPresentSerialDevices().back().com, 213);
    const auto names = platform::ListSerialPortNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "COM213"), names.end());
    m_monitor.Stop();
    m_monitor.Stop();
}
