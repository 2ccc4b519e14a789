#include "platform/virtual_devices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class VirtualDeviceDir : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(platform::VirtualDeviceDirectory());
        std::filesystem::create_directories(platform::VirtualDeviceDirectory());
    }
    void TearDown() override { std::filesystem::remove_all(platform::VirtualDeviceDirectory()); }

    static void WriteRaw(const std::string& name, const std::string& text) {
        std::ofstream(platform::VirtualDeviceDirectory() + name) << text;
    }
};

}  // namespace

TEST(VirtualDeviceText, ParsesKeysAndIgnoresTheRest) {
    const auto dev = platform::ParseVirtualDevice(
        "path=/dev/pts/9\r\ncom=201\nfriendly=Simulated DTU AT Port (COM201)\n"
        "hwid=USB\\VID_1E0E&PID_9001&MI_00\nhwid=USB\\VID_1E0E&PID_9001\nnoise\ncolour=blue\n");
    EXPECT_EQ(dev.path, "/dev/pts/9");
    EXPECT_EQ(dev.com, 201);
    EXPECT_EQ(dev.friendly, "Simulated DTU AT Port (COM201)");
    ASSERT_EQ(dev.hwids.size(), 2u);
    EXPECT_EQ(dev.hwids[0], "USB\\VID_1E0E&PID_9001&MI_00");
    EXPECT_FALSE(dev.adb);
    EXPECT_EQ(platform::ParseVirtualDevice(platform::FormatVirtualDevice(dev)).hwids, dev.hwids);
}

TEST(VirtualDeviceText, RejectsBadNumbersAndBoundsValues) {
    EXPECT_EQ(platform::ParseVirtualDevice("com=12x\n").com, 0);
    EXPECT_EQ(platform::ParseVirtualDevice("com=-4\n").com, 0);
    EXPECT_EQ(platform::ParseVirtualDevice("com=99999999999\n").com, 0);
    EXPECT_EQ(platform::ParseVirtualDevice("friendly=" + std::string(5000, 'a')).friendly.size(), 512u);
    std::string many;
    for (int i = 0; i < 100; ++i) {
        many += "hwid=X" + std::to_string(i) + "\n";
    }
    EXPECT_EQ(platform::ParseVirtualDevice(many).hwids.size(), 32u);
    EXPECT_TRUE(platform::ParseVirtualDevice("adb=1\n").adb);
}

TEST_F(VirtualDeviceDir, ListsPresentDevicesInNameOrder) {
    WriteRaw("b.device", "path=/dev/null\ncom=7\nfriendly=Second\n");
    WriteRaw("a.device", "path=/dev/null\ncom=6\nfriendly=First\n");
    WriteRaw("gone.device", "path=/dev/no-such-node\ncom=8\n");  // its node does not exist
    WriteRaw("note.txt", "path=/dev/null\ncom=9\n");             // not a device file
    WriteRaw("adb.device", "adb=1\nhwid=USB\\VID_1E0E&PID_9001&MI_06\n");
    const auto devices = platform::ListVirtualDevices();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].friendly, "First");
    EXPECT_TRUE(devices[1].adb);
    EXPECT_EQ(devices[2].friendly, "Second");
}

TEST_F(VirtualDeviceDir, ExclusiveWriteClaimsTheNameOnce) {
    platform::VirtualDevice dev;
    dev.path = "/dev/null";
    dev.com = 5;
    const std::string file = platform::WriteVirtualDevice("claim", dev, true);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(platform::WriteVirtualDevice("claim", dev, true), "");
    dev.com = 6;
    EXPECT_EQ(platform::WriteVirtualDevice("claim", dev, false), file);  // a plain write replaces
    ASSERT_EQ(platform::ListVirtualDevices().size(), 1u);
    EXPECT_EQ(platform::ListVirtualDevices()[0].com, 6);
    platform::RemoveVirtualDevice(file);
    EXPECT_TRUE(platform::ListVirtualDevices().empty());
    // No temporary file is left behind.
    EXPECT_TRUE(std::filesystem::is_empty(platform::VirtualDeviceDirectory()));
}

TEST_F(VirtualDeviceDir, DeviceOfAProcessThatHasGoneIsNotPresent) {
    WriteRaw("live.device", "path=/dev/null\ncom=5\npid=" + std::to_string(getpid()) + "\n");
    WriteRaw("dead.device", "path=/dev/null\ncom=6\npid=999999999\n");
    const auto devices = platform::ListVirtualDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].com, 5);
}
