// Device nodes on Windows: a device without file attributes still counts as present.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/app_directory.h"
#include "platform/device_node.h"

namespace {

TEST(DeviceNode, FilesFoldersAndDevicesArePresentMissingOnesAreNot) {
    const std::string dir = platform::GetAppDirectory();
    const std::string file = dir + "node.txt";
    std::ofstream(file) << "x";
    EXPECT_TRUE(platform::DeviceNodeExists(file));
    EXPECT_TRUE(platform::DeviceNodeExists(dir));
    // The null device has no file attributes; it is found by opening it for no access.
    EXPECT_TRUE(platform::DeviceNodeExists("\\\\.\\NUL"));
    EXPECT_FALSE(platform::DeviceNodeExists(dir + "missing.txt"));
    EXPECT_FALSE(platform::DeviceNodeExists("\\\\.\\COM9876"));
    EXPECT_FALSE(platform::DeviceNodeExists(""));
}

}  // namespace
