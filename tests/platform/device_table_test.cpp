#include "platform/device_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/virtual_devices.h"

TEST(DeviceTable, MapsTheFixedNodeFamilies) {
    EXPECT_EQ(platform::DeviceNodeForCom(1), "/dev/ttyS0");
    EXPECT_EQ(platform::DeviceNodeForCom(32), "/dev/ttyS31");
    EXPECT_EQ(platform::DeviceNodeForCom(33), "/dev/ttyUSB0");
    EXPECT_EQ(platform::DeviceNodeForCom(35), "/dev/ttyUSB2");
    EXPECT_EQ(platform::DeviceNodeForCom(65), "/dev/ttyACM0");
    EXPECT_EQ(platform::DeviceNodeForCom(96), "/dev/ttyACM31");
    EXPECT_EQ(platform::DeviceNodeForCom(97), "");
    EXPECT_EQ(platform::DeviceNodeForCom(0), "");
    EXPECT_EQ(platform::DeviceNodeForCom(-1), "");
}

TEST(DeviceTable, NodesMapBackToTheirNumbers) {
    EXPECT_EQ(platform::ComForDeviceNode("/dev/ttyS0"), 1);
    EXPECT_EQ(platform::ComForDeviceNode("/dev/ttyUSB2"), 35);
    EXPECT_EQ(platform::ComForDeviceNode("/dev/ttyACM10"), 75);
    EXPECT_EQ(platform::ComForDeviceNode("/dev/ttyUSB"), 0);
    EXPECT_EQ(platform::ComForDeviceNode("/dev/ttyUSBx"), 0);
    EXPECT_EQ(platform::ComForDeviceNode("/dev/ttyUSB32"), 0);
    EXPECT_EQ(platform::ComForDeviceNode("/dev/pts/3"), 0);
}

TEST(DeviceTable, VirtualDeviceTakesPrecedence) {
    platform::VirtualDevice dev;
    dev.path = "/dev/null";
    dev.com = 33;
    const std::string file = platform::WriteVirtualDevice("override", dev, false);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(platform::DeviceNodeForCom(33), "/dev/null");
    platform::RemoveVirtualDevice(file);
    EXPECT_EQ(platform::DeviceNodeForCom(33), "/dev/ttyUSB0");
}
