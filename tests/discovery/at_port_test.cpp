#include "discovery/at_port.h"

#include <gtest/gtest.h>

TEST(AtPortLookup, TakesTheLastDeviceNamedAtPort) {
    const std::vector<platform::PresentSerialDevice> devices = {
        {"DTU Diagnostics Port (COM10)", {}, 10, ""},
        {"DTU AT Port (COM12)", {}, 12, ""},
        {"Another AT Port (COM7)", {}, 7, ""},
        {"DTU NMEA Port (COM13)", {}, 13, ""},
    };
    EXPECT_EQ(FindAtPortNumber(devices), 7);
    EXPECT_EQ(FindAtPortNumber({}), 0);
    EXPECT_EQ(FindAtPortNumber({{"at port (COM3)", {}, 3, ""}}), 0);  // case matters
}

TEST(AtPortLookup, EveryModulesAtPortOnceInAscendingOrder) {
    const std::vector<platform::PresentSerialDevice> devices = {
        {"DTU AT Port (COM205)", {}, 205, ""}, {"DTU Diagnostics Port (COM10)", {}, 10, ""},
        {"DTU AT Port (COM12)", {}, 12, ""},   {"DTU AT Port (COM12)", {}, 12, "/second/node"},
        {"DTU AT Port (COM)", {}, 0, ""},      {"at port (COM3)", {}, 3, ""},
        {"Another AT Port (COM7)", {}, 7, ""},
    };
    EXPECT_EQ(AllAtPortNumbers(devices), (std::vector<int>{7, 12, 205}));
    EXPECT_TRUE(AllAtPortNumbers({}).empty());
}

TEST(AtPortLookup, ReadsTheNumberBetweenComAndParenthesis) {
    EXPECT_EQ(ComNumberFromFriendlyName("DTU AT Port (COM12)"), 12);
    EXPECT_EQ(ComNumberFromFriendlyName("DTU AT Port (COM201)"), 201);
    EXPECT_EQ(ComNumberFromFriendlyName("DTU AT Port"), 0);
    EXPECT_EQ(ComNumberFromFriendlyName("DTU AT Port (COM"), 0);
    EXPECT_EQ(ComNumberFromFriendlyName("DTU AT Port (COM)"), 0);
    EXPECT_EQ(ComNumberFromFriendlyName("DTU AT Port (COM" + std::string(300, '9') + ")"), 0);
}
