#include "discovery/device_presence.h"

#include <gtest/gtest.h>

#include "discovery/at_port.h"
#include "platform/virtual_devices.h"

using platform::PresentSerialDevice;

TEST(DevicePresence, MatchesWholeIdentifiersIgnoringCase) {
    const std::vector<PresentSerialDevice> devices = {
        {"DTU AT Port (COM12)", {"USB\\VID_1E0E&PID_9001&MI_00", "USB\\VID_1E0E&PID_9001"}, 12, ""},
    };
    EXPECT_TRUE(discovery::IsPortsDeviceExist("USB\\VID_1E0E&PID_9001&MI_00", devices));
    EXPECT_TRUE(discovery::IsPortsDeviceExist("usb\\vid_1e0e&pid_9001&mi_00", devices));
    EXPECT_TRUE(discovery::IsPortsDeviceExist("USB\\VID_1E0E&PID_9001", devices));
    EXPECT_FALSE(discovery::IsPortsDeviceExist("USB\\VID_1E0E&PID_900", devices));  // no prefixes
    EXPECT_FALSE(discovery::IsPortsDeviceExist("USB\\VID_1E0E&PID_9001&MI_0", devices));
    EXPECT_FALSE(discovery::IsPortsDeviceExist("", devices));
    EXPECT_FALSE(discovery::IsPortsDeviceExist("USB\\VID_1E0E&PID_9001&MI_02", devices));
}

TEST(DevicePresence, TheModuleIsPresentByItsPortInterfacesOnly) {
    EXPECT_TRUE(discovery::IsModulePresent({{"x", {"USB\\VID_05C6&PID_9008"}, 3, ""}}));
    EXPECT_TRUE(discovery::IsModulePresent({{"x", {"USB\\VID_1E0E&PID_9006&MI_00"}, 3, ""}}));
    EXPECT_FALSE(discovery::IsModulePresent({{"x", {"USB\\VID_1E0E&PID_9001&MI_06"}, 3, ""}}));
    EXPECT_FALSE(discovery::IsModulePresent({{"x", {"USB\\VID_1E0E&PID_9001&MI_02"}, 3, ""}}));
    EXPECT_FALSE(discovery::IsModulePresent({}));
}

TEST(DevicePresence, LibraryCallsLookAtPresentDevicesAndRejectBadTexts) {
    // A virtual serial device needs its node to exist; /dev/null stands in for the tty.
    platform::VirtualDevice port;
    port.path = "/dev/null";
    port.com = 240;
    port.friendly = "Bench AT Port (COM240)";
    port.hwids = {"USB\\VID_1E0E&PID_9003&MI_00"};
    const std::string file = platform::WriteVirtualDevice("presence", port, false);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(Zendrel_IsPortsDeviceExist("USB\\VID_1E0E&PID_9003&MI_00"), 1);
    EXPECT_EQ(Zendrel_IsAndoidPhoneDeviceExist("USB\\VID_1E0E&PID_9003&MI_00"), 0);
    EXPECT_TRUE(discovery::IsModulePresent());
    EXPECT_EQ(FindAtPortNumber(), 240);
    EXPECT_EQ(Zendrel_IsPortsDeviceExist(nullptr), 0);
    const std::string longId = "USB\\VID_1E0E&PID_9003&MI_00" + std::string(300, ' ');
    EXPECT_EQ(Zendrel_IsPortsDeviceExist(longId.c_str()), 0);
    platform::RemoveVirtualDevice(file);
    EXPECT_EQ(Zendrel_IsPortsDeviceExist("USB\\VID_1E0E&PID_9003&MI_00"), 0);
}
