#include "discovery/port_list.h"

#include <gtest/gtest.h>

using discovery::BuildPortList;
using discovery::PortEntryFromFriendlyName;
using discovery::PortNumberFromEntry;
using discovery::PortNumberFromName;

TEST(PortListEntry, DisplayTextsFollowTheNamingRules) {
    auto plain = PortEntryFromFriendlyName("Sample Port (COM5)");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->portName, "COM5");
    EXPECT_EQ(plain->display, "(COM5) Sample Port ");

    auto enhanced = PortEntryFromFriendlyName("Dual Bridge: Enhanced COM Port (COM7)");
    ASSERT_TRUE(enhanced);
    EXPECT_EQ(enhanced->portName, "COM7");
    EXPECT_EQ(enhanced->display, "Enhanced COM Port (COM7) Dual Bridge: ");

    auto standard = PortEntryFromFriendlyName("Dual Bridge: Standard COM Port (COM8)");
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->display, "Standard COM Port (COM8) Dual Bridge: ");
    auto both = PortEntryFromFriendlyName("Standard Enhanced Port (COM9)");  // "Enhanced" is looked for first
    ASSERT_TRUE(both);
    EXPECT_EQ(both->display, "Enhanced Port (COM9) Standard ");

    auto bare = PortEntryFromFriendlyName("COM3");  // no parenthesis: the whole name is the port
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->portName, "COM3");
    EXPECT_EQ(bare->display, "COM3 ");
}

TEST(PortListEntry, NamesWhosePortPartIsNotComAreSkipped) {
    EXPECT_FALSE(PortEntryFromFriendlyName("Serial Device (X) (COM7)"));
    EXPECT_FALSE(PortEntryFromFriendlyName(""));
    EXPECT_FALSE(PortEntryFromFriendlyName("Modem (LPT1)"));
    EXPECT_FALSE(PortEntryFromFriendlyName("(CO"));
    // An over-long name is cut, never read past.
    EXPECT_FALSE(PortEntryFromFriendlyName(std::string(5000, 'x') + " (COM4)"));
}

TEST(PortList, RegistryNamesFillTheGapsAndTheListIsSorted) {
    EXPECT_EQ(BuildPortList({}, {"COM4"}), std::vector<std::string>{"(COM4)"});
    // The device whose port part is not "COM..." is left to its registry name.
    EXPECT_EQ(BuildPortList({"Serial Device (X) (COM7)"}, {"COM7"}), std::vector<std::string>{"(COM7)"});
    EXPECT_EQ(BuildPortList({"Sample Port (COM5)", "Dual Bridge: Enhanced COM Port (COM7)"},
                            {"COM10", "COM5", "COM7", "COM1", "com5"}),
              (std::vector<std::string>{"(COM1)", "(COM10)", "(com5)", "(COM5) Sample Port ",
                                        "Enhanced COM Port (COM7) Dual Bridge: "}));
}

TEST(PortNumbers, EntryNumbersAndNameDigits) {
    EXPECT_EQ(PortNumberFromEntry("(COM5) Sample Port "), 5);
    EXPECT_EQ(PortNumberFromEntry("Enhanced COM Port (COM7) Dual Bridge: "), 7);
    EXPECT_EQ(PortNumberFromEntry("(COM12x)"), 12);
    EXPECT_EQ(PortNumberFromEntry("(COM)"), 0);
    EXPECT_EQ(PortNumberFromEntry("COM3 "), 0);
    EXPECT_EQ(PortNumberFromEntry("a) (COM5)"), 0);  // first ")" before the first "("
    EXPECT_EQ(PortNumberFromEntry("(COM" + std::string(40, '9') + ")"), 999999999);

    EXPECT_EQ(PortNumberFromName("COM12"), 12);
    EXPECT_EQ(PortNumberFromName("VPORT0"), 0);
    EXPECT_EQ(PortNumberFromName("A1B2"), 12);
    EXPECT_EQ(PortNumberFromName("COM007"), 7);
    EXPECT_EQ(PortNumberFromName(""), 0);
    EXPECT_EQ(PortNumberFromName(std::string(50, '9')), 999999999);
}
