#include "platform/udev_mapping.h"

#include <gtest/gtest.h>

using platform::MapUdevAdbInterface;
using platform::MapUdevTty;
using platform::UdevInterfaceProperties;
using platform::UdevTtyProperties;

namespace {

UdevTtyProperties ModuleTty(const std::string& node, const std::string& intf,
                            const std::string& description) {
    UdevTtyProperties p;
    p.devnode = node;
    p.vendorId = "1e0e";
    p.productId = "9001";
    p.interfaceNumber = intf;
    p.product = "Mobile Composite Device";
    p.interfaceDescription = description;
    return p;
}

}  // namespace

TEST(UdevHardwareIds, WindowsFormWithUpperCaseHex) {
    EXPECT_EQ(platform::UsbHardwareIds("1e0e", "9001", "0a"),
              (std::vector<std::string>{"USB\\VID_1E0E&PID_9001&MI_0A", "USB\\VID_1E0E&PID_9001"}));
    EXPECT_EQ(platform::UsbHardwareIds("05c6", "9008", ""),
              std::vector<std::string>{"USB\\VID_05C6&PID_9008"});
    EXPECT_EQ(platform::UsbHardwareIds("05c6", "9008", "1"),
              std::vector<std::string>{"USB\\VID_05C6&PID_9008"});
    EXPECT_TRUE(platform::UsbHardwareIds("5c6", "9008", "00").empty());
    EXPECT_TRUE(platform::UsbHardwareIds("05c6", "90g8", "00").empty());
    EXPECT_TRUE(platform::UsbHardwareIds("05c6&", "9008", "00").empty());
}

TEST(UdevTtyMapping, FriendlyNamesAndTheAtPort) {
    auto at = MapUdevTty(ModuleTty("/dev/ttyUSB2", "02", "DTU AT Port"));
    ASSERT_TRUE(at);
    EXPECT_EQ(at->friendly, "DTU AT Port (COM35)");
    EXPECT_EQ(at->com, 35);
    EXPECT_EQ(at->node, "/dev/ttyUSB2");
    EXPECT_EQ(at->hwids,
              (std::vector<std::string>{"USB\\VID_1E0E&PID_9001&MI_02", "USB\\VID_1E0E&PID_9001"}));

    auto tagged = ModuleTty("/dev/ttyUSB3", "03", "");
    tagged.atPrimary = "1";
    EXPECT_EQ(MapUdevTty(tagged)->friendly, "Mobile Composite Device AT Port (COM36)");

    auto diag = MapUdevTty(ModuleTty("/dev/ttyUSB0", "00", "DTU Diagnostics Port"));
    EXPECT_EQ(diag->friendly, "DTU Diagnostics Port (COM33)");
    auto acm = MapUdevTty(ModuleTty("/dev/ttyACM1", "", ""));
    EXPECT_EQ(acm->friendly, "Mobile Composite Device (COM66)");
    EXPECT_EQ(acm->hwids, std::vector<std::string>{"USB\\VID_1E0E&PID_9001"});

    // A product string shared by all interfaces never makes every one of them the AT port.
    auto shared = ModuleTty("/dev/ttyUSB1", "01", "");
    shared.product = "DTU AT Port Modem";
    EXPECT_EQ(MapUdevTty(shared)->friendly, "USB Serial Port (COM34)");
    shared.atPrimary = "0";
    EXPECT_EQ(MapUdevTty(shared)->friendly.find("AT Port"), std::string::npos);
}

TEST(UdevTtyMapping, UntrustedTextsAreCleanedAndBounded) {
    auto noisy = MapUdevTty(ModuleTty("/dev/ttyUSB2", "02",
                                      "  DTU\n\x01"
                                      "AT Port\t "));
    EXPECT_EQ(noisy->friendly, "DTU  AT Port (COM35)");
    auto longName = MapUdevTty(ModuleTty("/dev/ttyUSB2", "02", std::string(1000, 'A')));
    EXPECT_EQ(longName->friendly.size(), platform::kMaxUdevText + std::string(" (COM35)").size());

    EXPECT_FALSE(MapUdevTty(ModuleTty("/dev/pts/3", "02", "DTU AT Port")));     // no COM number
    EXPECT_FALSE(MapUdevTty(ModuleTty("/dev/ttyUSB99", "02", "DTU AT Port")));  // beyond the table
    auto badIds = ModuleTty("/dev/ttyUSB2", "02", "DTU AT Port");
    badIds.vendorId = "";
    EXPECT_FALSE(MapUdevTty(badIds));
    EXPECT_FALSE(MapUdevTty(ModuleTty("/dev/ttyUSB2" + std::string(500, '0'), "02", "x")));
}

TEST(UdevAdbMapping, OnlyVendorClass42Protocol1) {
    UdevInterfaceProperties adb{"1e0e", "9001", "06", "ff", "42", "01", "ADB Interface"};
    auto mapped = MapUdevAdbInterface(adb);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(mapped->hwids.front(), "USB\\VID_1E0E&PID_9001&MI_06");
    EXPECT_EQ(mapped->friendly, "ADB Interface");
    adb.interfaceClass = "FF";
    adb.description = "";
    EXPECT_EQ(MapUdevAdbInterface(adb)->friendly, "ADB Interface");
    adb.interfaceProtocol = "03";  // fastboot
    EXPECT_FALSE(MapUdevAdbInterface(adb));
    EXPECT_FALSE(MapUdevAdbInterface({"1e0e", "9001", "02", "ff", "ff", "ff", "Modem"}));
    EXPECT_FALSE(MapUdevAdbInterface({"", "9001", "06", "ff", "42", "01", "ADB"}));
}
